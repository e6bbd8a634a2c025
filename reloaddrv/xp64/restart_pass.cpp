#include "restart_pass.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chip_group.h"
#include "kv/platform/device_installer.h"
#include "kv/platform/registry.h"

namespace kv::cyclenic {

namespace {

using namespace kv::platform;

// The driver key's "ComponentId" is read with this many bytes at most.
constexpr uint32_t kComponentIdBytes = 259;

// The device's hardware id from its driver key, lower-cased; empty when it cannot be read.
std::string componentIdOf(DeviceInfoSet& devices, uint32_t index) {
    RegKey key(devices.openDriverKey(index, regaccess::kAllAccess));
    if (!key.valid()) return {};
    char data[kComponentIdBytes + 1] = {};
    uint32_t type = 0;
    uint32_t bytes = kComponentIdBytes;
    if (registry().queryValueA(key.get(), "ComponentId", &type, data, &bytes) != err::kSuccess) return {};
    // The stored value need not end with a terminator; never read past what was returned.
    std::string id(data, std::min(bytes, kComponentIdBytes));
    if (const size_t end = id.find('\0'); end != std::string::npos) id.resize(end);
    for (char& c : id)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return id;
}

}  // namespace

bool runRestartPass(int group, RestartStep step) {
    std::vector<Guid> classes;
    if (!deviceInstaller().classGuidsFromName(u"Net", &classes) || classes.empty()) return false;
    const std::unique_ptr<DeviceInfoSet> devices = deviceInstaller().presentDevices(classes.front());
    if (!devices) return false;
    const uint32_t change = step == RestartStep::Disable ? setup::kDicsDisable : setup::kDicsEnable;
    for (uint32_t i = 0; devices->exists(i); ++i) {
        uint32_t status = 0;
        uint32_t problem = 0;
        if (!devices->nodeStatus(i, &status, &problem) || (status & kDnNoShowInDeviceManager)) continue;
        if (!belongsToGroup(componentIdOf(*devices, i), group)) continue;
        if (!devices->setPropertyChangeParams(i, change, setup::kDicsFlagConfigSpecific, 0) ||
            !devices->callClassInstaller(setup::kDifPropertyChange, i))
            return false;
    }
    return true;
}

}  // namespace kv::cyclenic
