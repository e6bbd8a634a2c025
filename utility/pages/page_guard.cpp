#include "pages/page_guard.h"

#include "framework/list_view.h"
#include "framework/property_page.h"
#include "session/adapter_session.h"
#include "session/page_services.h"

namespace kv::diag {

namespace {
bool adapterSelectedAndReady(const PageServices& services) {
    return services.selectedAdapterIndex() != -1 && services.adapterReady() != 0;
}
}  // namespace

AdapterAccess checkAdapter(PageServices& services) {
    if (!adapterSelectedAndReady(services)) return AdapterAccess::NotReady;
    if (!services.session().channelOpen()) {
        services.requestAdapterListRefresh();
        return AdapterAccess::Gone;
    }
    return AdapterAccess::Ready;
}

bool leaveListPage(PageServices& services, ui::PropertyPage& page, ui::ListView* list) {
    if (!adapterSelectedAndReady(services)) return true;
    if (services.session().channelOpen()) {
        if (list) list->deleteAllRows();
        return page.ui::PropertyPage::onKillActive();
    }
    services.requestAdapterListRefresh();
    return true;
}

}  // namespace kv::diag
