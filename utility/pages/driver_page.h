// The "Driver" page: the network driver of the selected adapter, as the main window read it into
// the shared driver record at the last adapter selection.
#pragma once

#include "pages/list_page.h"

namespace kv::diag {

class CDriverPage : public ListPage {
    Q_OBJECT

public:
    explicit CDriverPage(PageServices& services);

    bool onSetActive() override;

protected:
    bool onInitDialog() override;
};

}  // namespace kv::diag
