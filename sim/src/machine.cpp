#include "kv/sim/machine.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "kv/protocol.h"
#include "kv/sim/atomic_file.h"
#include "kv/sim/machine_json.h"
#include "kv/sim/machine_lock.h"
#include "kv/sim/machine_schema.h"
#include "kv/sim/reg_file.h"
#include "kv/sim/tcpip_interfaces.h"
#include "kv/sim/vlans.h"
#include "kv/text.h"
#include "native/file_system.h"

namespace kv::sim {

Machine::Machine() = default;
Machine::~Machine() = default;

Adapter* Machine::adapterByDeviceName(std::u16string_view deviceName) {
    for (auto& a : adapters)
        if (equalsIgnoreCase(a->deviceName(), deviceName)) return a.get();
    return nullptr;
}

Adapter* Machine::adapterByGuid(std::u16string_view guid) {
    for (auto& a : adapters)
        if (equalsIgnoreCase(a->guid, guid)) return a.get();
    return nullptr;
}

std::vector<Adapter*> Machine::boundAdapters() {
    std::vector<Adapter*> out;
    for (auto& a : adapters)
        if (a->bound && a->present) out.push_back(a.get());
    return out;
}

namespace {

std::vector<uint8_t> readFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void readOs(const Json& j, OsConfig& os) {
    if (j.isNull()) return;
    const std::string platform = j["platform"].asString("nt");
    if (platform == "win32s")
        os.platformId = 0;
    else if (platform == "windows" || platform == "9x")
        os.platformId = 1;
    else if (platform == "nt")
        os.platformId = 2;
    else
        throw std::runtime_error("os.platform must be \"nt\", \"9x\" or \"win32s\", not \"" + platform + "\"");
    os.major = static_cast<uint32_t>(j["major"].asUInt(os.major));
    os.minor = static_cast<uint32_t>(j["minor"].asUInt(os.minor));
    os.build = static_cast<uint32_t>(j["build"].asUInt(os.build));
    if (j.contains("servicePack")) os.servicePack = utf8ToUtf16(j["servicePack"].asString());
    os.wow64 = j["wow64"].asBool(os.wow64);
    os.hasIsWow64Process = j["hasIsWow64Process"].asBool(os.hasIsWow64Process);
    const Json& faults = j["faults"];
    os.versionExFails = faults["versionEx"].asBool(false);
    os.versionFails = faults["version"].asBool(false);
    os.redirectionFails = faults["disableRedirection"].asBool(false);
}

// The protocol driver of the machine's Windows version. The older driver of Windows 5.x is
// started on demand, so it does not run until something starts it.
void readProtocolDriver(const Json& j, const OsConfig& os, ProtocolDriverConfig& pd) {
    const protocol::ProtocolDriverNames names = protocol::protocolDriverFor(os.platformId, os.major);
    pd.serviceName = names.serviceName;
    pd.devicePath = names.devicePath;
    pd.driverFile = names.driverFile;
    if (!pd.driverFile.empty()) pd.running = false;
    if (j.isNull()) return;
    pd.installed = j["installed"].asBool(pd.installed);
    pd.running = j["running"].asBool(pd.running);
    const Json& faults = j["faults"];
    pd.openError = static_cast<uint32_t>(faults["openError"].asUInt(0));
    pd.bindWaitError = static_cast<uint32_t>(faults["bindWaitError"].asUInt(0));
    pd.startError = static_cast<uint32_t>(faults["startError"].asUInt(0));
    pd.enumerationError = static_cast<uint32_t>(faults["enumerationError"].asUInt(0));
    pd.enumerationErrorAt = static_cast<uint32_t>(faults["enumerationErrorAt"].asUInt(0));
}

}  // namespace

std::unique_ptr<Machine> buildMachine(const Json& config) {
    checkMachineJson(config);
    auto machine = std::make_unique<Machine>();
    machine->config = config;
    machine->name = config["name"].asString();
    readOs(config["os"], machine->os);
    readProtocolDriver(config["protocolDriver"], machine->os, machine->protocolDriver);
    machine->wire.configure(config["wire"]);
    const Json& adapters = config["adapters"];
    for (size_t i = 0; i < adapters.size(); ++i) {
        auto adapter = std::make_unique<Adapter>();
        adapter->index = static_cast<uint32_t>(i);
        try {
            readAdapter(adapters[i], *adapter);
            addStandardComponents(*adapter);
            adapter->configure(adapters[i]);
        } catch (const std::exception& e) {
            throw std::runtime_error("adapters[" + std::to_string(i) + "]: " + e.what());
        }
        machine->adapters.push_back(std::move(adapter));
    }
    readDevices(config, *machine);
    readBindings(config, *machine);
    return machine;
}

std::unique_ptr<Machine> loadMachineDirectory(const std::filesystem::path& directory) {
    const MachineLock lock(directory, MachineLock::Mode::Exclusive);
    const auto jsonPath = directory / "machine.json";
    const auto jsonBytes = readFileBytes(jsonPath);
    if (jsonBytes.empty()) throw std::runtime_error(jsonPath.string() + ": missing or empty");
    std::unique_ptr<Machine> machine;
    try {
        machine = buildMachine(
            parseJson(std::string_view(reinterpret_cast<const char*>(jsonBytes.data()), jsonBytes.size())));
    } catch (const std::exception& e) {
        throw std::runtime_error(jsonPath.string() + ": " + e.what());
    }
    machine->directory = directory;
    const auto registryPath = directory / "registry.reg";
    std::vector<uint8_t> regBytes;
    (void)native::readFile(registryPath, &regBytes, &machine->registryStamp);
    if (!regBytes.empty()) {
        std::vector<std::string> warnings;
        machine->registryEncoding = detectRegFileEncoding(regBytes);
        try {
            applyRegFile(machine->registry, regBytes, &warnings);
        } catch (const std::exception& e) {
            throw std::runtime_error(registryPath.string() + ": " + e.what());
        }
        for (const auto& w : warnings) std::fprintf(stderr, "registry.reg: %s\n", w.c_str());
    }
    const auto asRead = writeRegFile(machine->registry, machine->registryEncoding);
    addMissingDriverKeys(*machine);
    addMissingConnectionKeys(*machine);
    // --- VLANs and TCP/IP settings
    addVlans(*machine);
    addTcpipKeys(*machine);
    // --- end VLANs and TCP/IP settings
    const auto completed = writeRegFile(machine->registry, machine->registryEncoding);
    if (completed != asRead) {
        removeStrayTemporaries(registryPath);
        if (!writeFileAtomically(registryPath, completed)) machine->registryStamp = native::stampOf(registryPath);
    }
    return machine;
}

}  // namespace kv::sim
