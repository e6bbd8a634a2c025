// VLAN virtual adapters among the system's network devices. A VLAN's driver key names its VLAN
// ID and the NetCfgInstanceId of the physical adapter it belongs to (kv/protocol.h); the listing
// finds each VLAN's parent through it, and the VLAN exports tell VLANs from physical adapters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kv/platform/types.h"

namespace kv::lib {

// The parent's NetCfgInstanceId when the driver key is a VLAN's (names the maker's VLAN hardware
// id and a parent); nothing otherwise.
std::optional<std::u16string> vlanParentOf(platform::RegKeyHandle driverKey);

struct VlanLink {
    std::u16string guid;        // the VLAN adapter's NetCfgInstanceId
    std::u16string parentGuid;  // the physical adapter's
};
// Every present VLAN device with its parent, in the device installer's order.
std::vector<VlanLink> vlanLinks();

// For each listed adapter GUID, the position of its parent among them, or -1 (a physical adapter,
// or a VLAN whose parent is not listed).
std::vector<int32_t> parentIndexes(const std::vector<std::u16string>& listedGuids);

}  // namespace kv::lib
