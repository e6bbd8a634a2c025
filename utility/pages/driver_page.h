// The "Driver" page: the network driver of the selected adapter, as the main window read it into
// the shared driver record at the last adapter selection.
#pragma once

#include "framework/property_page.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag {

class PageServices;

class CDriverPage : public ui::PropertyPage {
    Q_OBJECT

public:
    explicit CDriverPage(PageServices& services);

    bool onSetActive() override;
    bool onKillActive() override;

protected:
    bool onInitDialog() override;

private:
    ui::ListView* list() const;
    void appendDriverRows(ui::ListView& list);

    PageServices& services_;
};

}  // namespace kv::diag
