// The VLANs of a physical adapter as the VLAN page reads and changes them: each VLAN is a virtual
// adapter of its own, whose adapter-list entry names its parent. Adding, deleting and renumbering
// select adapters and install devices, seconds each: the page runs them on workers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kv::jobs {

// Drivers from this version number on carry VLANs; the page turns the others away.
inline constexpr int kFirstVlanDriverVersion = 611;

struct VlanRow {
    int adapterIndex = 0;  // the VLAN's virtual adapter in the adapter list
    uint16_t vlanId = 0;   // the low 16 bits of what the library reports
    std::optional<std::string> connectionName;
};
struct VlanListing {
    std::vector<VlanRow> vlans;
    // False when a VLAN could not be selected: the adapters changed under the list (the window
    // lists them again); the rows read until then.
    bool complete = true;
};

// Each adapter-list entry whose parent (`parentIndexes`, the list's ParentIndex entries) is
// `parentIndex`, made the library's current adapter and its VLAN ID read (an entry whose ID
// cannot be read gets no row). The parent is made the current adapter again at the end of a
// complete listing. `select` makes an entry the current adapter (the window's adapter session, so
// that it knows which one is); by default API_SetCurrAdaptIdx.
using AdapterSelect = std::function<bool(int index)>;
VlanListing listVlans(std::span<const int32_t> parentIndexes, int parentIndex, const AdapterSelect& select = {});

// The listing as a table: VLAN ID, connection name, the virtual adapter's index and description
// (from `adapters`, the adapter list the listing was read over).
struct ListedAdapter;
std::string vlanListText(const VlanListing& listing, std::span<const ListedAdapter> adapters);

// API_AddVlan on the current adapter, API_DelVlan and API_ModifyVID on a VLAN's entry; true when
// the library reports success (the page looks only at the change's answer).
bool addVlan(uint32_t vlanId);
bool deleteVlan(uint32_t adapterIndex);
bool changeVlanId(uint32_t adapterIndex, uint16_t vlanId);

}  // namespace kv::jobs
