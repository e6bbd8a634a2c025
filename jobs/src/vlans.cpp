#include "kv/jobs/vlans.h"

#include "kelvalib.h"
#include "kv/jobs/adapter_facts.h"
#include "kv/jobs/string_table.h"
#include "kv/jobs/text_layout.h"

namespace kv::jobs {

VlanListing listVlans(std::span<const int32_t> parentIndexes, int parentIndex, const AdapterSelect& select) {
    const auto makeCurrent = [&select](int index) { return select ? select(index) : API_SetCurrAdaptIdx(index) == 1; };
    VlanListing listing;
    for (size_t i = 0; i < parentIndexes.size(); ++i) {
        if (parentIndexes[i] != parentIndex) continue;
        if (!makeCurrent(static_cast<int>(i))) {
            listing.complete = false;
            return listing;
        }
        uint32_t vlanId = 0;
        if (API_GetVID(&vlanId) != 1) continue;
        listing.vlans.push_back({static_cast<int>(i), static_cast<uint16_t>(vlanId & 0xFFFFu), readConnectionName()});
    }
    makeCurrent(parentIndex);
    return listing;
}

std::string vlanListText(const VlanListing& listing, std::span<const ListedAdapter> adapters) {
    if (listing.vlans.empty()) return "  No VLAN.\n";
    using namespace ids::vlan;
    std::vector<std::vector<std::string>> rows = {
        {resourceText(kVlanIdColumn), resourceText(kConnectionNameColumn), "#", resourceText(kAdapterNameColumn)}};
    for (const auto& vlan : listing.vlans) {
        const size_t index = static_cast<size_t>(vlan.adapterIndex);
        rows.push_back({std::to_string(vlan.vlanId), vlan.connectionName.value_or(""), std::to_string(index),
                        index < adapters.size() ? adapters[index].description : std::string()});
    }
    return tableText(rows, 2);
}

bool addVlan(uint32_t vlanId) { return API_AddVlan(vlanId) == 1; }
bool deleteVlan(uint32_t adapterIndex) { return API_DelVlan(adapterIndex) == 1; }
bool changeVlanId(uint32_t adapterIndex, uint16_t vlanId) { return API_ModifyVID(adapterIndex, vlanId) == 1; }

}  // namespace kv::jobs
