// The "General" page: what identifies the selected adapter and how it is connected, rebuilt from
// the shared adapter record and live library queries at every activation.
#pragma once

#include "pages/list_page.h"

namespace kv::diag {

class CGeneralInfoPage : public ListPage {
    Q_OBJECT

public:
    explicit CGeneralInfoPage(PageServices& services);

    bool onSetActive() override;

protected:
    bool onInitDialog() override;
};

}  // namespace kv::diag
