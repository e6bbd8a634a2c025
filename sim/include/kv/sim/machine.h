// The simulated machine: what machine.json and registry.reg declare, and its running state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kv/sim/adapter/adapter.h"
#include "kv/sim/bindings.h"
#include "kv/sim/devices.h"
#include "kv/sim/file_stamp.h"
#include "kv/sim/json.h"
#include "kv/sim/reg_file.h"
#include "kv/sim/registry_tree.h"
#include "kv/sim/wire.h"

namespace kv::sim {

struct OsConfig {
    uint32_t platformId = 2;  // 0 Win32s, 1 Windows 9x, 2 NT
    uint32_t major = 6;
    uint32_t minor = 0;
    uint32_t build = 6002;
    std::u16string servicePack = u"Service Pack 2";
    bool versionExFails = false;  // the extended version record is refused
    bool versionFails = false;    // the basic one too
    bool hasIsWow64Process = true;
    bool wow64 = false;             // a 32-bit process on 64-bit Windows
    bool redirectionFails = false;  // switching the file-system redirection off fails
};

// The protocol driver: TvNdPt60, or on Windows 5.x the older driver NPROBE. Its service and its
// device.
struct ProtocolDriverConfig {
    std::u16string serviceName;       // the service, named after the machine's Windows version
    std::u16string devicePath;        // the device it makes while it runs
    std::u16string driverFile;        // the file in System32\Drivers the service needs to start; empty: none
    bool installed = true;            // the service exists
    bool running = true;              // the service runs (the device exists)
    uint32_t openError = 0;           // opening the device fails with this error
    uint32_t bindWaitError = 0;       // IOCTL_PROT_BIND_WAIT fails with this error
    uint32_t startError = 0;          // starting the service fails with this error
    uint32_t enumerationError = 0;    // the enumeration fails with this error ...
    uint32_t enumerationErrorAt = 0;  // ... at this binding index
};

class Machine {
public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Empty for a machine that lives in memory only (the registry is then never saved).
    std::filesystem::path directory;
    std::string name;
    OsConfig os;
    ProtocolDriverConfig protocolDriver;
    std::vector<std::unique_ptr<Adapter>> adapters;
    // The network segment the adapters and the peer stations share.
    Wire wire;
    RegistryTree registry;
    // registry.reg is written back in the encoding it was read in.
    RegFileEncoding registryEncoding = RegFileEncoding::Utf8;
    // registry.reg as this process last read or wrote it (registry_store.h).
    FileStamp registryStamp;
    // The devices of the class "Net", in the device installer's order.
    std::vector<Device> devices;
    // Services of machine.json's "services" started since the machine was loaded.
    std::vector<std::string> startedServices;
    // The protocols bound to the adapters, in the binding tool's order.
    std::vector<ProtocolBinding> bindings;
    // machine.json as loaded, for the sections that machine-level parts read.
    Json config;

    Adapter* adapterByDeviceName(std::u16string_view deviceName);
    Adapter* adapterByGuid(std::u16string_view guid);
    // The adapters the protocol driver is bound to, in enumeration order.
    std::vector<Adapter*> boundAdapters();
};

// Builds a machine from machine.json text (and registry.reg bytes, when given). Throws
// std::runtime_error with a message that names the problem.
std::unique_ptr<Machine> buildMachine(const Json& config);
// Loads the directory under its lock. The keys the loader adds to the registry (driver,
// connection, VLAN and TCP/IP keys registry.reg lacks) are saved into registry.reg, so that every
// program on the directory reads the same registry; where the save fails (a read-only
// directory) they stay in memory.
std::unique_ptr<Machine> loadMachineDirectory(const std::filesystem::path& directory);

}  // namespace kv::sim
