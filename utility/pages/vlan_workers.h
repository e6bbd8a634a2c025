// The VLAN page's workers. Adding, deleting and renumbering a VLAN installs, removes or restarts
// a virtual adapter, which takes seconds, so each runs on a thread of its own; the window's worker
// watch keeps the user away from the adapters meanwhile. A worker only calls the library; the one
// thing it tells the window (a failed change) is posted to the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/worker_thread.h"

namespace kv::diag {

class PageServices;

// A change of one VLAN's ID: the AdapterList entry of its virtual adapter and the new ID.
struct VlanIdChange {
    uint32_t adapterIndex = 0;
    uint16_t vlanId = 0;
};

// Each returns the worker's handle, null when no thread can be made.
// API_AddVlan with the ID, on the library's current adapter.
ui::WorkerHandle startVlanAdd(uint32_t vlanId);
// API_DelVlan with the VLAN's AdapterList entry.
ui::WorkerHandle startVlanDelete(uint32_t adapterIndex);
// API_ModifyVID with the request, which the worker owns: it is freed when the worker ends, or at
// once when no thread can be made. A change the library refuses posts "&Refresh NIC List" to the
// window, which lists the adapters again and rebuilds its pages.
ui::WorkerHandle startVlanIdChange(std::unique_ptr<VlanIdChange> request, PageServices& window);

}  // namespace kv::diag
