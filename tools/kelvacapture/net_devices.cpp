#include "net_devices.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "kv/platform/device_installer.h"
#include "kv/platform/registry.h"
#include "kv/platform/types.h"
#include "kv/text.h"
#include "registry_values.h"

namespace kv::capture {

namespace {

constexpr uint32_t kDnHasProblem = 0x00000400;
constexpr uint32_t kProblemDisabled = 22;

struct Value {
    std::u16string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    bool operator==(const Value&) const = default;
};

std::vector<Value> valuesOf(platform::RegKeyHandle key) {
    std::vector<Value> values;
    Value v;
    for (uint32_t i = 0; platform::registry().enumValue(key, i, &v.name, &v.type, &v.data) == platform::err::kSuccess;
         ++i)
        values.push_back(v);
    return values;
}

// The driver keys under the class key, by name, with their values: a device's driver key is
// the one whose values equal those of the key the device installer opens for it.
std::vector<std::pair<std::u16string, std::vector<Value>>> classDriverKeys() {
    std::vector<std::pair<std::u16string, std::vector<Value>>> keys;
    const platform::RegKey classKey = openMachineKey(kNetClassKey);
    std::u16string name;
    for (uint32_t i = 0; classKey.valid() && platform::registry().enumKey(classKey.get(), i, &name) == 0; ++i) {
        const platform::RegKey key = openMachineKey(std::u16string(kNetClassKey) + u"\\" + name);
        if (key.valid()) keys.emplace_back(name, valuesOf(key.get()));
    }
    return keys;
}

std::optional<int> adapterOf(const std::u16string& instanceId, const std::vector<std::u16string>& guids) {
    for (size_t i = 0; i < guids.size(); ++i)
        if (!guids[i].empty() && instanceId.compare(0, guids[i].size(), guids[i]) == 0) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace

JsonValue captureNetDevices(const std::vector<std::u16string>& adapterGuids, CaptureLog& log) {
    JsonValue devices = JsonValue::array();
    auto& installer = platform::deviceInstaller();
    std::vector<platform::Guid> classes;
    if (!installer.classGuidsFromName(u"Net", &classes) || classes.empty()) classes = {platform::kNetClassGuid};
    auto set = installer.presentDevices(classes.front());
    if (!set) {
        log.skipped("devices of the class \"Net\"", "the device installer cannot list them");
        return devices;
    }
    const auto driverKeys = classDriverKeys();
    std::vector<bool> claimed(adapterGuids.size(), false);
    for (uint32_t index = 0; set->exists(index); ++index) {
        JsonValue device = JsonValue::object();
        const std::string label = "device " + std::to_string(index);
        if (const auto id = set->instanceId(index)) device.set("instanceId", utf16ToUtf8(*id));
        uint32_t status = 0;
        uint32_t problem = 0;
        const bool statusRead = set->nodeStatus(index, &status, &problem);
        const bool hidden = statusRead && (status & platform::kDnNoShowInDeviceManager);
        const platform::RegKey driverKey(set->openDriverKey(index, platform::regaccess::kRead));
        if (driverKey.valid()) {
            const auto values = valuesOf(driverKey.get());
            const auto match = std::find_if(driverKeys.begin(), driverKeys.end(),
                                            [&](const auto& key) { return key.second == values; });
            if (match != driverKeys.end())
                device.set("driverKey", utf16ToUtf8(match->first));
            else
                log.skipped(label + " driver key name", "no key under the class key holds its values");
            // The first visible device carrying an adapter's GUID drives it, as the suite finds it.
            const auto instance = readString(driverKey.get(), u"NetCfgInstanceId");
            const auto adapter = instance && !hidden ? adapterOf(*instance, adapterGuids) : std::nullopt;
            if (adapter && !claimed[static_cast<size_t>(*adapter)]) {
                claimed[static_cast<size_t>(*adapter)] = true;
                device.set("adapter", *adapter);
            }
        } else {
            log.skipped(label + " driver key", "the device installer cannot open it");
        }
        if (!statusRead) {
            device.member("faults").set("nodeStatus", true);
            log.skipped(label + " node status", "it cannot be read");
        }
        if (hidden) device.set("hidden", true);
        if (statusRead && (status & kDnHasProblem) && problem == kProblemDisabled) device.set("disabled", true);
        devices.push(std::move(device));
    }
    return devices;
}

}  // namespace kv::capture
