#include "vlan_devices.h"

#include "device_search.h"
#include "kv/protocol.h"
#include "kv/text.h"

namespace kv::lib {

namespace {
// The capacity of the value reads: 259 UTF-16 characters and the terminator.
constexpr uint32_t kValueBytes = 518;
}  // namespace

std::optional<std::u16string> vlanParentOf(platform::RegKeyHandle driverKey) {
    const auto componentId = readStringValue(driverKey, u"ComponentId", kValueBytes);
    if (!componentId || !equalsIgnoreCase(*componentId, protocol::kVlanHardwareId)) return std::nullopt;
    auto parent = readStringValue(driverKey, protocol::kVlanParentValue, kValueBytes);
    if (!parent || parent->empty()) return std::nullopt;
    return parent;
}

std::vector<VlanLink> vlanLinks() {
    std::vector<VlanLink> links;
    walkNetDevices(platform::regaccess::kRead,
                   [&links](uint32_t, platform::RegKey& key, const std::optional<std::u16string>& guid) {
                       if (guid)
                           if (auto parent = vlanParentOf(key.get())) links.push_back({*guid, std::move(*parent)});
                       return false;
                   });
    return links;
}

std::vector<int32_t> parentIndexes(const std::vector<std::u16string>& listedGuids) {
    std::vector<int32_t> parents(listedGuids.size(), -1);
    const auto links = vlanLinks();
    auto position = [&listedGuids](std::u16string_view guid) -> int32_t {
        for (size_t j = 0; j < listedGuids.size(); ++j)
            if (equalsIgnoreCase(listedGuids[j], guid)) return static_cast<int32_t>(j);
        return -1;
    };
    for (const auto& link : links) {
        const int32_t vlan = position(link.guid);
        if (vlan >= 0) parents[static_cast<size_t>(vlan)] = position(link.parentGuid);
    }
    return parents;
}

}  // namespace kv::lib
