#include "kv/sim/devices.h"

#include <cstdio>
#include <stdexcept>

#include "kv/platform/device_installer.h"
#include "kv/sim/adapter/statistics.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "kv/sim/tcpip_interfaces.h"
#include "kv/text.h"

namespace kv::sim {

const char16_t kNetClassKeyPath[] =
    u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

const char16_t kNetworkConnectionsKeyPath[] =
    u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

namespace {

constexpr uint32_t kDnDriverLoaded = 0x00000002;
constexpr uint32_t kDnStarted = 0x00000008;
constexpr uint32_t kDnHasProblem = 0x00000400;

std::u16string driverKeyName(size_t n) {
    char text[8];
    std::snprintf(text, sizeof text, "%04u", static_cast<unsigned>(n % 10000));
    return utf8ToUtf16(text);
}

std::u16string defaultInstanceId(const Adapter& a) {
    char text[128];
    std::snprintf(text, sizeof text, "PCI\\VEN_%04X&DEV_%04X&SUBSYS_%04X%04X&REV_%02X\\4&%X&0&00E0", a.pci.vendorId,
                  a.pci.deviceId, a.pci.subSystemId, a.pci.subVendorId, a.pci.revisionId, 0x1D7A00u + a.index);
    return utf8ToUtf16(text);
}

std::u16string defaultComponentId(const Adapter& a) {
    char text[96];
    std::snprintf(text, sizeof text, "pci\\ven_%04x&dev_%04x&subsys_%04x%04x", a.pci.vendorId, a.pci.deviceId,
                  a.pci.subSystemId, a.pci.subVendorId);
    return utf8ToUtf16(text);
}

// A driver key is a path below the Net class key: parts separated by single backslashes.
bool isDriverKeyPath(std::u16string_view key) {
    return key.empty() || (key.front() != u'\\' && key.back() != u'\\' && key.find(u"\\\\") == key.npos);
}

// `where` names the device in messages: "devices[2]" or "adapters[0].device".
void readDeviceFields(const Json& j, Device& d, const std::string& where) {
    if (j.contains("instanceId")) d.instanceId = utf8ToUtf16(j["instanceId"].asString());
    if (j.contains("driverKey")) d.driverKey = utf8ToUtf16(j["driverKey"].asString());
    if (!isDriverKeyPath(d.driverKey))
        throw std::runtime_error(where + ".driverKey \"" + utf16ToUtf8(d.driverKey) +
                                 "\" has an empty registry path part (a leading, trailing or doubled backslash)");
    if (j.contains("componentId")) d.componentId = utf8ToUtf16(j["componentId"].asString());
    d.present = j["present"].asBool(d.present);
    d.hidden = j["hidden"].asBool(d.hidden);
    d.disabled = j["disabled"].asBool(d.disabled);
    d.restartMs = static_cast<uint32_t>(j["restartMs"].asUInt(d.restartMs));
    const Json& f = j["faults"];
    d.statusFails = f["nodeStatus"].asBool(d.statusFails);
    d.refusePropertyChange = f["refusePropertyChange"].asBool(d.refusePropertyChange);
}

// The loader's own keys; their paths come from checked fields, so a failure here is a fault of
// the loader, reported rather than followed by a null key.
RegistryKey* createKey(Machine& machine, std::u16string_view path) {
    RegistryKey* key = machine.registry.create(path);
    if (!key) throw std::runtime_error("cannot create the registry key \"" + utf16ToUtf8(path) + "\"");
    return key;
}

}  // namespace

void readDevices(const Json& config, Machine& machine) {
    std::vector<bool> named(machine.adapters.size(), false);
    const Json& list = config["devices"];
    for (size_t i = 0; i < list.size(); ++i) {
        const Json& j = list[i];
        Device d;
        if (j.contains("adapter")) {
            const uint64_t index = j["adapter"].asUInt(UINT64_MAX);
            if (index >= machine.adapters.size())
                throw std::runtime_error("devices[" + std::to_string(i) + "].adapter names no adapter");
            d.adapterIndex = static_cast<int>(index);
            named[index] = true;
        }
        readDeviceFields(j, d, "devices[" + std::to_string(i) + "]");
        machine.devices.push_back(std::move(d));
    }
    for (size_t i = 0; i < machine.adapters.size(); ++i) {
        if (named[i]) continue;
        Device d;
        d.adapterIndex = static_cast<int>(i);
        readDeviceFields(config["adapters"][i]["device"], d, "adapters[" + std::to_string(i) + "].device");
        machine.devices.push_back(std::move(d));
    }
    for (size_t n = 0; n < machine.devices.size(); ++n) {
        Device& d = machine.devices[n];
        const Adapter* a = d.adapterIndex >= 0 ? machine.adapters[static_cast<size_t>(d.adapterIndex)].get() : nullptr;
        if (d.driverKey.empty()) d.driverKey = driverKeyName(n);
        if (d.instanceId.empty()) d.instanceId = a ? defaultInstanceId(*a) : u"ROOT\\NET\\" + driverKeyName(n);
        if (d.disabled && a) machine.adapters[static_cast<size_t>(d.adapterIndex)]->present = false;
    }
}

void addMissingDriverKeys(Machine& machine) {
    for (const Device& d : machine.devices) {
        if (d.adapterIndex < 0 && d.componentId.empty()) continue;
        const std::u16string path = std::u16string(kNetClassKeyPath) + u"\\" + d.driverKey;
        if (machine.registry.find(path)) continue;
        RegistryKey* key = createKey(machine, path);
        if (d.adapterIndex < 0) {
            key->setValue(RegValue::string(u"ComponentId", d.componentId));
            continue;
        }
        const Adapter& a = *machine.adapters[static_cast<size_t>(d.adapterIndex)];
        key->setValue(RegValue::string(u"NetCfgInstanceId", a.guid));
        key->setValue(RegValue::string(u"ComponentId", d.componentId.empty() ? defaultComponentId(a) : d.componentId));
        key->setValue(RegValue::string(u"DriverDesc", a.description));
    }
}

void addMissingConnectionKeys(Machine& machine) {
    for (size_t i = 0; i < machine.adapters.size(); ++i) {
        const Adapter& a = *machine.adapters[i];
        const std::u16string path = std::u16string(kNetworkConnectionsKeyPath) + u"\\" + a.guid + u"\\Connection";
        if (machine.registry.find(path)) continue;
        const Json& name = machine.config["adapters"][i]["connectionName"];
        if (name.isBool() && !name.asBool()) continue;
        std::string text = "Local Area Connection";
        if (i > 0) text += " " + std::to_string(i + 1);
        RegistryKey* key = createKey(machine, path);
        key->setValue(RegValue::string(u"Name", utf8ToUtf16(name.isString() ? name.asString() : text)));
        for (const Device& d : machine.devices)
            if (d.adapterIndex == static_cast<int>(i)) key->setValue(RegValue::string(u"PnpInstanceID", d.instanceId));
    }
}

uint32_t nodeStatusOf(const Device& d) {
    uint32_t status = kDnDriverLoaded;
    if (d.disabled || d.notStarted)
        status |= kDnHasProblem;
    else
        status |= kDnStarted;
    if (d.hidden) status |= platform::kDnNoShowInDeviceManager;
    return status;
}

void changeDeviceState(Machine& machine, Device& device, uint32_t stateChange) {
    Adapter* adapter =
        device.adapterIndex >= 0 ? machine.adapters[static_cast<size_t>(device.adapterIndex)].get() : nullptr;
    auto bringBack = [&machine, idx = device.adapterIndex](uint32_t after) {
        if (idx < 0) return;
        Host::get().clock().schedule(after, [&machine, idx] {
            Adapter& back = *machine.adapters[static_cast<size_t>(idx)];
            back.present = true;
            // The restarted adapter takes its TCP/IP settings from the registry again, as another
            // program on the machine directory may have left them.
            Host::get().registry();
            applyTcpipKey(machine, back);
            if (auto* statistics = back.component<Statistics>()) statistics->restart();
            Host::get().trace().add("device adapter " + std::to_string(idx) + " back");
        });
    };
    switch (stateChange) {
        case platform::setup::kDicsDisable:
            device.disabled = true;
            if (adapter) {
                adapter->present = false;
                adapter->diagEnabled = false;
            }
            break;
        case platform::setup::kDicsEnable:
            if (device.disabled) {
                device.disabled = false;
                bringBack(device.restartMs);
            }
            break;
        case platform::setup::kDicsPropChange:
            if (adapter && !device.disabled) {
                adapter->present = false;
                adapter->diagEnabled = false;
                bringBack(device.restartMs);
            }
            break;
        default:
            break;
    }
}

}  // namespace kv::sim
