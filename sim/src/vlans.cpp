#include "kv/sim/vlans.h"

#include <cstdio>
#include <stdexcept>

#include "kv/protocol.h"
#include "kv/sim/adapter/adapter.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "kv/sim/machine_json.h"
#include "kv/sim/tcpip_interfaces.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

constexpr uint32_t kDefaultInstallMs = 6000;
// SetupAPI's "the installation failed" (ERROR_DI_BAD_PATH would name a missing INF instead).
constexpr uint32_t kErrorInstallFailed = 0xE0000219;
constexpr char16_t kDescription[] = u"Tavrick VLAN Virtual Adapter";

std::u16string classKeyPath(const std::u16string& driverKey) {
    return std::u16string(kNetClassKeyPath) + u"\\" + driverKey;
}

std::u16string connectionKeyPath(const std::u16string& guid) {
    return std::u16string(kNetworkConnectionsKeyPath) + u"\\" + guid + u"\\Connection";
}

std::u16string stringValue(const RegistryKey& key, std::u16string_view name) {
    const RegValue* value = key.findValue(name);
    return value ? value->asString() : std::u16string();
}

// Driver keys are numbered "0000", "0001", ...: the next number after every key and device.
std::u16string nextDriverKeyName(Machine& machine) {
    unsigned next = 0;
    auto take = [&next](std::u16string_view name) {
        unsigned n = 0;
        for (char16_t c : name) {
            if (c < u'0' || c > u'9') return;
            n = n * 10 + static_cast<unsigned>(c - u'0');
        }
        if (!name.empty() && n >= next) next = n + 1;
    };
    if (const RegistryKey* classKey = machine.registry.find(kNetClassKeyPath))
        for (const auto& sub : classKey->subkeys()) take(sub->name());
    for (const Device& d : machine.devices) take(d.driverKey);
    char text[8];
    std::snprintf(text, sizeof text, "%04u", next % 10000);
    return utf8ToUtf16(text);
}

bool connectionNameTaken(Machine& machine, std::u16string_view name) {
    const RegistryKey* network = machine.registry.find(kNetworkConnectionsKeyPath);
    if (!network) return false;
    for (const auto& adapterKey : network->subkeys())
        if (const RegistryKey* connection = adapterKey->findSubkey(u"Connection"))
            if (equalsIgnoreCase(stringValue(*connection, u"Name"), name)) return true;
    return false;
}

// "Local Area Connection N" with the lowest N from 2 on that no connection carries.
std::u16string nextConnectionName(Machine& machine) {
    for (unsigned n = 2;; ++n) {
        const std::u16string name = u"Local Area Connection " + utf8ToUtf16(std::to_string(n));
        if (!connectionNameTaken(machine, name)) return name;
    }
}

void addConnectionKey(Machine& machine, const std::u16string& guid, std::u16string name,
                      const std::u16string& instanceId) {
    const std::u16string path = connectionKeyPath(guid);
    if (machine.registry.find(path)) return;
    if (name.empty()) name = nextConnectionName(machine);
    RegistryKey* key = machine.registry.create(path);
    key->setValue(RegValue::string(u"Name", name));
    key->setValue(RegValue::string(u"PnpInstanceID", instanceId));
}

std::u16string guidText(uint32_t parentIndex, uint32_t vlanId, uint32_t serial) {
    char text[48];
    std::snprintf(text, sizeof text, "{1D7A56%02X-%04X-4A11-8D7A-%012X}", parentIndex & 0xFF, vlanId & 0xFFFF, serial);
    return utf8ToUtf16(text);
}

bool guidTaken(Machine& machine, std::u16string_view guid) {
    if (machine.adapterByGuid(guid)) return true;
    const RegistryKey* classKey = machine.registry.find(kNetClassKeyPath);
    if (!classKey) return false;
    for (const auto& sub : classKey->subkeys())
        if (equalsIgnoreCase(stringValue(*sub, u"NetCfgInstanceId"), guid)) return true;
    return false;
}

// Root-enumerated devices are numbered; a VLAN device takes the number of its driver key.
std::u16string instanceIdFor(const std::u16string& driverKey) {
    std::u16string id = u"ROOT\\" + std::u16string(protocol::kVlanHardwareId) + u"\\" + driverKey;
    for (char16_t& c : id)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return id;
}

bool isVlanKey(const RegistryKey& key) {
    return equalsIgnoreCase(stringValue(key, u"ComponentId"), protocol::kVlanHardwareId);
}

Device* deviceWithDriverKey(Machine& machine, std::u16string_view driverKey) {
    for (Device& d : machine.devices)
        if (d.present && equalsIgnoreCase(d.driverKey, driverKey)) return &d;
    return nullptr;
}

// The VLAN's driver starts: reads its ID and parent from the driver key and brings the virtual
// adapter up. The device keeps a problem status when the key or the parent's miniport does not
// allow it.
bool startVlanDriver(Machine& machine, Device& device, const Json& ipJson) {
    const RegistryKey* key = machine.registry.find(classKeyPath(device.driverKey));
    if (!key) return false;
    const std::u16string guid = stringValue(*key, u"NetCfgInstanceId");
    const std::string idText = utf16ToUtf8(stringValue(*key, protocol::kVlanIdValue));
    Adapter* parent = machine.adapterByGuid(stringValue(*key, protocol::kVlanParentValue));
    char* end = nullptr;
    const unsigned long id = std::strtoul(idText.c_str(), &end, 10);
    if (guid.empty() || idText.empty() || *end != 0 || id > protocol::kHighestVlanId || !parent || parent->vlanParent ||
        !parent->vlanSupport)
        return false;
    auto adapter = std::make_unique<Adapter>();
    adapter->index = static_cast<uint32_t>(machine.adapters.size());
    adapter->guid = guid;
    adapter->description = stringValue(*key, u"DriverDesc");
    adapter->mac = parent->mac;
    adapter->pci = parent->pci;
    adapter->link = parent->link;
    adapter->vlanParent = parent;
    adapter->vlanId = static_cast<uint32_t>(id);
    addStandardComponents(*adapter);
    adapter->configure(Json());
    adapter->vlanId = static_cast<uint32_t>(id);
    if (!ipJson.isNull()) {
        adapter->ip.address = ipJson["address"].asString(adapter->ip.address);
        adapter->ip.mask = ipJson["mask"].asString(adapter->ip.mask);
        adapter->ip.gateway = ipJson["gateway"].asString(adapter->ip.gateway);
        adapter->ip.dhcp = ipJson["dhcp"].asBool(adapter->ip.dhcp);
    }
    device.adapterIndex = static_cast<int>(adapter->index);
    device.notStarted = false;
    for (const char* component : kDefaultProtocols)
        machine.bindings.push_back(ProtocolBinding{adapter->index, component,
                                                   std::string(component) + "->" +
                                                       utf16ToUtf8(protocol::kVlanHardwareId) + "_" +
                                                       utf16ToUtf8(device.driverKey),
                                                   true});
    addConnectionKey(machine, guid, {}, device.instanceId);
    addMissingTcpipKey(machine, *adapter);
    applyTcpipKey(machine, *adapter);
    machine.adapters.push_back(std::move(adapter));
    return true;
}

// The VLAN miniport comes in its physical adapter's driver package: the package's values of the
// parent's driver key.
void copyPackageValues(Machine& machine, RegistryKey& key, std::u16string_view parentGuid) {
    const Adapter* parent = machine.adapterByGuid(parentGuid);
    for (const Device& d : machine.devices) {
        if (!parent || d.adapterIndex != static_cast<int>(parent->index)) continue;
        const RegistryKey* parentKey = machine.registry.find(classKeyPath(d.driverKey));
        if (!parentKey) return;
        for (const char16_t* name : {u"ProviderName", u"DriverVersion", u"DriverDate", u"InfPath"})
            if (const RegValue* value = parentKey->findValue(name)) key.setValue(*value);
        return;
    }
}

void writeVlanDriverKey(Machine& machine, const std::u16string& driverKey, const std::u16string& guid, uint32_t id,
                        const Adapter& parent) {
    RegistryKey* key = machine.registry.create(classKeyPath(driverKey));
    copyPackageValues(machine, *key, parent.guid);
    key->setValue(RegValue::string(u"ComponentId", protocol::kVlanHardwareId));
    key->setValue(RegValue::string(u"NetCfgInstanceId", guid));
    key->setValue(RegValue::string(u"DriverDesc", kDescription));
    key->setValue(RegValue::string(protocol::kVlanIdValue, utf8ToUtf16(std::to_string(id))));
    key->setValue(RegValue::string(protocol::kVlanParentValue, parent.guid));
}

// The VLANs machine.json declares, as driver and connection keys (unless registry.reg has them).
void addConfiguredVlanKeys(Machine& machine) {
    const Json& adapters = machine.config["adapters"];
    for (size_t i = 0; i < adapters.size() && i < machine.adapters.size(); ++i) {
        const Json& vlans = adapters[i]["vlans"];
        for (size_t k = 0; k < vlans.size(); ++k) {
            const Json& v = vlans[k];
            const uint64_t id = v["id"].asUInt(0);
            if (id < 1 || id > protocol::kHighestVlanId)
                throw std::runtime_error("adapters[" + std::to_string(i) + "].vlans[" + std::to_string(k) +
                                         "].id must be from 1 to 4094");
            const std::u16string guid = v.contains("guid")
                                            ? utf8ToUtf16(v["guid"].asString())
                                            : guidText(static_cast<uint32_t>(i), static_cast<uint32_t>(id), 0);
            if (guidTaken(machine, guid)) continue;
            const std::u16string driverKey = nextDriverKeyName(machine);
            writeVlanDriverKey(machine, driverKey, guid, static_cast<uint32_t>(id), *machine.adapters[i]);
            addConnectionKey(machine, guid, utf8ToUtf16(v["connectionName"].asString()), instanceIdFor(driverKey));
        }
    }
}

// The "ip" object machine.json gives the VLAN with this instance id, if any.
const Json& configuredIp(Machine& machine, std::u16string_view guid) {
    static const Json kNone;
    const Json& adapters = machine.config["adapters"];
    for (size_t i = 0; i < adapters.size(); ++i)
        for (const Json& v : adapters[i]["vlans"].elements()) {
            const std::u16string g =
                v.contains("guid") ? utf8ToUtf16(v["guid"].asString())
                                   : guidText(static_cast<uint32_t>(i), static_cast<uint32_t>(v["id"].asUInt(0)), 0);
            if (equalsIgnoreCase(g, guid)) return v["ip"];
        }
    return kNone;
}

}  // namespace

void addVlans(Machine& machine) {
    addConfiguredVlanKeys(machine);
    const RegistryKey* classKey = machine.registry.find(kNetClassKeyPath);
    if (!classKey) return;
    std::vector<std::u16string> keys;
    for (const auto& sub : classKey->subkeys())
        if (isVlanKey(*sub)) keys.push_back(sub->name());
    for (const auto& driverKey : keys) {
        // A device machine.json names (a captured machine lists its VLAN devices) starts like one
        // the registry alone gives, unless it is disabled or already drives an adapter.
        Device* device = deviceWithDriverKey(machine, driverKey);
        if (device && (device->adapterIndex >= 0 || device->disabled)) continue;
        if (!device) {
            Device added;
            added.instanceId = instanceIdFor(driverKey);
            added.driverKey = driverKey;
            added.notStarted = true;
            machine.devices.push_back(added);
            device = &machine.devices.back();
        }
        device->componentId = protocol::kVlanHardwareId;
        const RegistryKey* key = machine.registry.find(classKeyPath(driverKey));
        startVlanDriver(machine, *device, configuredIp(machine, key ? stringValue(*key, u"NetCfgInstanceId") : u""));
    }
}

Device& registerDevice(Machine& machine, std::u16string_view hardwareId) {
    Device device;
    device.driverKey = nextDriverKeyName(machine);
    device.instanceId = instanceIdFor(device.driverKey);
    device.componentId = std::u16string(hardwareId);
    device.notStarted = true;
    machine.devices.push_back(device);
    Host::get().trace().add("device register " + utf16ToUtf8(device.instanceId) + " " + utf16ToUtf8(hardwareId));
    return machine.devices.back();
}

bool installDevice(Machine& machine, Device& device, uint32_t* error) {
    Host& host = Host::get();
    const Json& install = machine.config["vlanInstall"];
    const std::string name = utf16ToUtf8(device.instanceId);
    if (!equalsIgnoreCase(device.componentId, protocol::kVlanHardwareId) || install["faults"]["fails"].asBool(false)) {
        host.trace().add("device install " + name + " failed");
        *error = kErrorInstallFailed;
        return false;
    }
    const uint32_t saved = host.changeRegistry([&machine, &device](RegistryTree& tree) {
        RegistryKey* key = tree.create(classKeyPath(device.driverKey));
        if (stringValue(*key, u"NetCfgInstanceId").empty()) {
            uint32_t serial = 1;
            std::u16string guid;
            const uint32_t id = static_cast<uint32_t>(
                std::strtoul(utf16ToUtf8(stringValue(*key, protocol::kVlanIdValue)).c_str(), nullptr, 10));
            do guid = guidText(0xFF, id, serial++);
            while (guidTaken(machine, guid));
            key->setValue(RegValue::string(u"NetCfgInstanceId", guid));
        }
        key->setValue(RegValue::string(u"ComponentId", device.componentId));
        key->setValue(RegValue::string(u"DriverDesc", kDescription));
        copyPackageValues(machine, *key, stringValue(*key, protocol::kVlanParentValue));
        return uint32_t{0};
    });
    if (saved) {
        host.trace().add("device install " + name + " failed");
        *error = saved;
        return false;
    }
    if (install["faults"]["neverCompletes"].asBool(false)) {
        host.trace().add("device install " + name + " hangs");
        return true;
    }
    const uint64_t delay = install["delayMs"].asUInt(kDefaultInstallMs);
    host.trace().add("device install " + name + " ok");
    host.clock().schedule(delay, [&machine, instanceId = device.instanceId] {
        for (Device& d : machine.devices) {
            if (!d.present || d.instanceId != instanceId) continue;
            bool started = false;
            // Starting writes the VLAN's connection and TCP/IP keys when it has none.
            Host::get().changeRegistry([&](RegistryTree&) {
                started = startVlanDriver(machine, d, Json());
                return uint32_t{0};
            });
            Host::get().trace().add("device start " + utf16ToUtf8(instanceId) + (started ? " ok" : " failed"));
        }
    });
    return true;
}

uint32_t removeDevice(Machine& machine, Device& device) {
    const Adapter* adapter =
        device.adapterIndex >= 0 ? machine.adapters[static_cast<size_t>(device.adapterIndex)].get() : nullptr;
    const uint32_t error = Host::get().changeRegistry([&](RegistryTree& tree) {
        tree.remove(classKeyPath(device.driverKey));
        if (adapter) {
            tree.remove(std::u16string(kNetworkConnectionsKeyPath) + u"\\" + adapter->guid);
            tree.remove(std::u16string(kTcpipInterfacesKeyPath) + u"\\" + adapter->guid);
        }
        return uint32_t{0};
    });
    if (error) return error;
    device.present = false;
    if (device.adapterIndex >= 0) {
        Adapter& removed = *machine.adapters[static_cast<size_t>(device.adapterIndex)];
        removed.present = false;
        removed.bound = false;
        for (auto& b : machine.bindings)
            if (b.adapterIndex == removed.index) b.bound = false;
    }
    Host::get().trace().add("device remove " + utf16ToUtf8(device.instanceId));
    return 0;
}

}  // namespace kv::sim
