#include "pages/vlan_workers.h"

#include <utility>

#include "session/page_services.h"
#include "kv/jobs/vlans.h"
#include "resources/resource_ids.h"
#include "session/page_services.h"

namespace kv::diag {

ui::WorkerHandle startVlanAdd(uint32_t vlanId) {
    // A failed add shows only as an unchanged list once the window has listed the adapters again.
    return ui::WorkerThread::start([vlanId] {
        jobs::addVlan(vlanId);
        return 0u;
    });
}

ui::WorkerHandle startVlanDelete(uint32_t adapterIndex) {
    return ui::WorkerThread::start([adapterIndex] {
        jobs::deleteVlan(adapterIndex);
        return 0u;
    });
}

ui::WorkerHandle startVlanIdChange(std::unique_ptr<VlanIdChange> request, PageServices& window) {
    return ui::WorkerThread::start([request = std::move(request), &window] {
        if (!jobs::changeVlanId(request->adapterIndex, request->vlanId)) window.postCommand(res::kCmdRefreshNicList);
        return 0u;
    });
}

}  // namespace kv::diag
