#include "device_search.h"

#include <vector>

#include "notify.h"

namespace kv::lib {

namespace {
// The capacity of the instance-id read: 259 UTF-16 characters and the terminator.
constexpr uint32_t kInstanceIdBytes = 518;
}  // namespace

std::optional<std::u16string> readStringValue(platform::RegKeyHandle key, std::u16string_view name,
                                              uint32_t capacityBytes) {
    std::vector<uint8_t> buffer(capacityBytes, 0);
    uint32_t type = 0;
    uint32_t bytes = capacityBytes;
    if (platform::registry().queryValue(key, name, &type, buffer.data(), &bytes) != platform::err::kSuccess)
        return std::nullopt;
    if (type != platform::regtype::kSz && type != platform::regtype::kExpandSz) return std::nullopt;
    std::u16string text;
    for (uint32_t i = 0; i + 1 < bytes && i + 1 < buffer.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(buffer[i] | (buffer[i + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

std::unique_ptr<platform::DeviceInfoSet> walkNetDevices(uint32_t access, const NetDeviceVisit& visit) {
    auto& installer = platform::deviceInstaller();
    std::vector<platform::Guid> classes;
    if (!installer.classGuidsFromName(u"Net", &classes) || classes.empty()) return nullptr;
    auto devices = installer.presentDevices(classes.front());
    if (!devices) return nullptr;
    for (uint32_t i = 0; devices->exists(i); ++i) {
        uint32_t status = 0;
        uint32_t problem = 0;
        if (!devices->nodeStatus(i, &status, &problem)) continue;
        if (status & platform::kDnNoShowInDeviceManager) continue;
        platform::RegKey key(devices->openDriverKey(i, access));
        if (!key.valid()) continue;
        if (visit(i, key, readStringValue(key.get(), u"NetCfgInstanceId", kInstanceIdBytes))) break;
    }
    return devices;
}

std::optional<AdapterDevice> findAdapterDevice(const std::u16string& adapterGuid, SearchMessages messages) {
    // Without a GUID (no adapter listed at the current index) no device is the adapter's; a
    // comparison over zero characters would take the first device of the list.
    if (adapterGuid.empty()) return std::nullopt;
    AdapterDevice found;
    found.devices = walkNetDevices(platform::regaccess::kAllAccess, [&](uint32_t i, platform::RegKey& key,
                                                                        const std::optional<std::u16string>& id) {
        if (!id) {
            if (messages == SearchMessages::OpenFail) showMessage("Open fail");
            return false;
        }
        if (id->size() < adapterGuid.size() || id->compare(0, adapterGuid.size(), adapterGuid) != 0) return false;
        found.index = i;
        found.driverKey = std::move(key);
        return true;
    });
    if (!found.devices || !found.driverKey.valid()) return std::nullopt;
    return found;
}

}  // namespace kv::lib
