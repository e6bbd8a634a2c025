// VLANs: the current adapter's VLAN ID, and adding, removing and renumbering VLAN virtual
// adapters. A VLAN is a device of the class "Net" with the maker's VLAN hardware id, installed
// through the device installer like any virtual adapter; its driver key tells the VLAN miniport
// its ID and its physical adapter, and once the miniport has started the protocol driver binds to
// the new adapter like to any other. The IDs themselves go through OID_GEN_VLAN_ID.
#include <optional>
#include <string>

#include "device_search.h"
#include "fixed_query.h"
#include "kelvalib.h"
#include "kv/platform/device_installer.h"
#include "kv/platform/registry.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "oid_request.h"
#include "state.h"
#include "vlan_devices.h"

using namespace kv;

namespace {

// How long an install may take until the VLAN's driver runs: polls 500 ms apart, one minute.
constexpr int kStartPolls = 120;
constexpr uint32_t kStartPollMs = 500;

bool validVlanId(uint32_t id) { return id >= protocol::kLowestVlanId && id <= protocol::kHighestVlanId; }

uint32_t setStringValue(platform::RegKeyHandle key, std::u16string_view name, std::u16string_view text) {
    std::u16string data(text);
    return platform::registry().setValue(key, name, platform::regtype::kSz, data.c_str(),
                                         static_cast<uint32_t>((data.size() + 1) * sizeof(char16_t)));
}

std::u16string decimal(uint32_t value) {
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

// The values the VLAN miniport reads when it starts.
bool writeVlanKey(platform::DeviceInfoSet& device, uint32_t vlanId, const std::u16string& parentGuid) {
    platform::RegKey key(device.createDriverKey(0, platform::regaccess::kAllAccess));
    return key.valid() && setStringValue(key.get(), protocol::kVlanIdValue, decimal(vlanId)) == 0 &&
           setStringValue(key.get(), protocol::kVlanParentValue, parentGuid) == 0;
}

bool waitUntilStarted(platform::DeviceInfoSet& device) {
    for (int poll = 0; poll < kStartPolls; ++poll) {
        uint32_t status = 0;
        uint32_t problem = 0;
        if (device.nodeStatus(0, &status, &problem) && (status & platform::kDnStarted) && problem == 0) return true;
        platform::clock().sleep(kStartPollMs);
    }
    return false;
}

// The VLAN device of list entry `index`; nothing for a physical adapter or an empty entry.
std::optional<lib::AdapterDevice> vlanDevice(uint32_t index) {
    if (index >= lib::DeviceNameTable::kSlots) return std::nullopt;
    auto device =
        lib::findAdapterDevice(lib::state().deviceNames.guid(static_cast<int>(index)), lib::SearchMessages::None);
    if (!device || !lib::vlanParentOf(device->driverKey.get())) return std::nullopt;
    return device;
}

}  // namespace

KV_API int API_GetVID(uint32_t* vlanId) {
    if (!vlanId) return 0;
    const auto id = lib::queryU32(protocol::OID_GEN_VLAN_ID);
    if (!id) return 0;
    *vlanId = *id & 0xFFFFu;
    return 1;
}

KV_API int API_AddVlan(uint32_t vlanId) {
    if (!validVlanId(vlanId)) return 0;
    const std::u16string parentGuid = lib::currentAdapterGuid();
    {
        // VLANs belong to physical adapters only.
        const auto parent = lib::findAdapterDevice(parentGuid, lib::SearchMessages::None);
        if (!parent || lib::vlanParentOf(parent->driverKey.get())) return 0;
    }
    // A miniport that does not answer the VLAN ID knows nothing of VLANs.
    if (!lib::queryU32(protocol::OID_GEN_VLAN_ID)) return 0;
    auto device = platform::deviceInstaller().createDevice(platform::kNetClassGuid, u"Net", protocol::kVlanHardwareId);
    if (!device) return 0;
    if (writeVlanKey(*device, vlanId, parentGuid) && device->installDevice(0) && waitUntilStarted(*device)) return 1;
    // A VLAN that cannot be installed or never starts is not left behind.
    device->removeDevice(0);
    return 0;
}

KV_API int API_DelVlan(uint32_t adapterIndex) {
    auto device = vlanDevice(adapterIndex);
    if (!device) return 0;
    device->driverKey.reset();
    return device->devices->removeDevice(device->index) ? 1 : 0;
}

KV_API int API_ModifyVID(uint32_t adapterIndex, uint16_t vlanId) {
    if (!validVlanId(vlanId) || adapterIndex >= lib::DeviceNameTable::kSlots) return 0;
    const int previous = lib::state().currentIndex;
    int ok = 0;
    if (API_SetCurrAdaptIdx(static_cast<int>(adapterIndex))) {
        auto request = lib::OidRequestBuffer::forResult(protocol::OID_GEN_VLAN_ID, 4);
        request.putU32(0, vlanId);
        ok = request.set() ? 1 : 0;
    }
    // The miniport reads the ID from the driver key when it starts again: keep the new one there.
    if (ok)
        if (auto device = vlanDevice(adapterIndex))
            setStringValue(device->driverKey.get(), protocol::kVlanIdValue, decimal(vlanId));
    API_SetCurrAdaptIdx(previous);
    return ok;
}
