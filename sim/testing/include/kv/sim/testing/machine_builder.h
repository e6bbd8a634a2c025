// Builds a simulated machine in a few lines for a test: adapters, link, cable, registry values,
// faults. The builder writes the same machine.json a support engineer writes, so every test also
// exercises the machine loader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kv/sim/host.h"
#include "kv/sim/json.h"

namespace kv::sim::testing {

// Sets a value at a dotted path ("pci.device"), creating objects on the way.
void setPath(Json& root, std::string_view path, Json value);

class AdapterBuilder {
public:
    explicit AdapterBuilder(Json json) : json_(std::move(json)) {}
    AdapterBuilder& set(std::string_view path, Json value);
    AdapterBuilder& fault(std::string_view name, Json value) {
        return set("faults." + std::string(name), std::move(value));
    }
    AdapterBuilder& link(bool up, uint32_t speedMbps = 1000, std::string duplex = "full");
    const Json& json() const { return json_; }

private:
    friend class MachineBuilder;
    Json json_;
};

class MachineBuilder {
public:
    MachineBuilder();
    // The embedded default machine (the one a first run writes out), to be changed further.
    static MachineBuilder defaultMachine();

    // A family adapter with the given PCI device id; the index picks distinct GUID and MAC.
    AdapterBuilder& addAdapter(uint16_t deviceId = 0x4450, std::string description = {});
    // An adapter of another maker.
    AdapterBuilder& addForeignAdapter(std::string description = "Orrin Networks 10/100 PCI Adapter");
    AdapterBuilder& adapter(size_t index) { return adapters_.at(index); }

    MachineBuilder& set(std::string_view path, Json value);
    // Lines of registry.reg after its header.
    MachineBuilder& registry(std::string_view regText);
    // The driver key of adapter i's own device (a machine without `devices`): "NetCfgInstanceId"
    // naming the adapter, then the values given, as name and string data.
    MachineBuilder& driverKey(size_t adapterIndex, const std::vector<std::pair<std::string, std::string>>& values);
    // An INF file in the machine's C:\WINDOWS\INF. A machine with files is installed from a
    // temporary machine directory of its own, removed with the builder.
    MachineBuilder& inf(std::string fileName, std::string text);
    // Any file of the machine directory, by its path there ("C/WINDOWS/System32/Drivers/x.sys")
    // or by its Windows path ("C:\\Program Files\\x.exe"); like an INF file, it gives the
    // machine a directory of its own.
    MachineBuilder& file(std::string path, std::string content);
    // Installs the machine from a temporary machine directory of its own even without files, so
    // that its registry is saved into registry.reg as a program's is.
    MachineBuilder& inDirectory() {
        inDirectory_ = true;
        return *this;
    }

    Json json() const;
    std::string registryText() const;
    // Builds the machine and installs it in the process's host, on a virtual clock unless told.
    Host& install(SimClock::Mode clock = SimClock::Mode::Virtual);
    // Writes machine.json and registry.reg into the directory, for tests that run programs.
    void writeDirectory(const std::filesystem::path& directory) const;

    // The GUID and MAC address the builder gives adapter i.
    static std::string guidOf(size_t index);
    static std::string macOf(size_t index);

private:
    Json root_;
    std::vector<AdapterBuilder> adapters_;
    std::string registry_;
    std::vector<std::pair<std::string, std::string>> files_;  // path in the directory, content
    bool inDirectory_ = false;
    struct TemporaryDirectory;
    std::shared_ptr<TemporaryDirectory> directory_;
};

// The trace lines of one kind ("ioctl", "msgbox", "sleep", ...), without the kind word.
std::vector<std::string> traced(std::string_view kind);
// Total virtual milliseconds slept since the machine was installed.
uint64_t sleptMs();

}  // namespace kv::sim::testing
