// The "General" page: what identifies the selected adapter and how it is connected, rebuilt from
// the shared adapter record and live library queries at every activation.
#pragma once

#include "framework/property_page.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag {

class PageServices;

class CGeneralInfoPage : public ui::PropertyPage {
    Q_OBJECT

public:
    explicit CGeneralInfoPage(PageServices& services);

    bool onSetActive() override;
    bool onKillActive() override;

protected:
    bool onInitDialog() override;

private:
    ui::ListView* list() const;
    void appendAddressRows(ui::ListView& list);
    void appendLinkRows(ui::ListView& list);
    void appendPciRows(ui::ListView& list);

    PageServices& services_;
};

}  // namespace kv::diag
