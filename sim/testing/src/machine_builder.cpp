#include "kv/sim/testing/machine_builder.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "kv/sim/reg_file.h"
#include "kv/sim/tcpip_interfaces.h"
#include "kv/sim/vlans.h"

namespace kv::sim::testing {

void setPath(Json& root, std::string_view path, Json value) {
    const size_t dot = path.find('.');
    if (!root.isObject()) root = Json::object();
    if (dot == std::string_view::npos) {
        root.set(std::string(path), std::move(value));
        return;
    }
    const std::string head(path.substr(0, dot));
    Json child = root[head];
    setPath(child, path.substr(dot + 1), std::move(value));
    root.set(head, std::move(child));
}

AdapterBuilder& AdapterBuilder::set(std::string_view path, Json value) {
    setPath(json_, path, std::move(value));
    return *this;
}

AdapterBuilder& AdapterBuilder::link(bool up, uint32_t speedMbps, std::string duplex) {
    set("link.up", Json(up));
    set("link.speed", Json(static_cast<int64_t>(speedMbps)));
    return set("link.duplex", Json(std::move(duplex)));
}

MachineBuilder::MachineBuilder() : root_(Json::object()) {
    set("name", Json("test machine"));
    set("os.platform", Json("nt"));
    set("os.major", Json(int64_t{6}));
    set("os.minor", Json(int64_t{0}));
}

std::string MachineBuilder::guidOf(size_t index) {
    char text[64];
    std::snprintf(text, sizeof text, "{6F1C2B3A-4450-4C1D-9A7E-%012zX}", index + 1);
    return text;
}

std::string MachineBuilder::macOf(size_t index) {
    char text[32];
    std::snprintf(text, sizeof text, "00-1D-7A-00-%02zX-%02zX", (index >> 8) & 0xFF, (index + 1) & 0xFF);
    return text;
}

AdapterBuilder& MachineBuilder::addAdapter(uint16_t deviceId, std::string description) {
    const size_t i = adapters_.size();
    char id[8];
    std::snprintf(id, sizeof id, "%04X", deviceId);
    if (description.empty()) description = std::string("Tavrick PCI-E Ethernet Controller ") + id;
    AdapterBuilder b(Json::object());
    b.set("guid", Json(guidOf(i)));
    b.set("description", Json(description));
    b.set("mac", Json(macOf(i)));
    b.set("pci.vendor", Json("0x1D7A"));
    b.set("pci.device", Json(std::string("0x") + id));
    b.set("pci.subVendor", Json("0x1D7A"));
    b.set("pci.subSystem", Json("0x0001"));
    b.set("pci.revision", Json(int64_t{1}));
    b.set("pci.bus", Json(static_cast<int64_t>(i + 1)));
    b.set("pci.io", Json(static_cast<int64_t>(0xD000 - 0x100 * i)));
    b.set("pci.irq", Json(static_cast<int64_t>(16 + i)));
    b.link(true, 1000, "full");
    adapters_.push_back(std::move(b));
    return adapters_.back();
}

AdapterBuilder& MachineBuilder::addForeignAdapter(std::string description) {
    AdapterBuilder& b = addAdapter(0x1039, std::move(description));
    b.set("pci.vendor", Json("0x8D21"));
    b.set("pci.subVendor", Json("0x8D21"));
    return b;
}

MachineBuilder& MachineBuilder::set(std::string_view path, Json value) {
    setPath(root_, path, std::move(value));
    return *this;
}

MachineBuilder& MachineBuilder::registry(std::string_view regText) {
    registry_ += regText;
    if (!registry_.empty() && registry_.back() != '\n') registry_ += "\r\n";
    return *this;
}

MachineBuilder& MachineBuilder::driverKey(size_t adapterIndex,
                                          const std::vector<std::pair<std::string, std::string>>& values) {
    char key[16];
    std::snprintf(key, sizeof key, "%04zu", adapterIndex);
    std::string text =
        R"([HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Class\{4D36E972-E325-11CE-BFC1-08002BE10318}\)" +
        std::string(key) + "]\r\n\"NetCfgInstanceId\"=\"" + guidOf(adapterIndex) + "\"\r\n";
    for (const auto& [name, data] : values) text += "\"" + name + "\"=\"" + data + "\"\r\n";
    return registry(text + "\r\n");
}

struct MachineBuilder::TemporaryDirectory {
    TemporaryDirectory() {
        static std::atomic<unsigned> next{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path = std::filesystem::temp_directory_path() /
               ("kelva-machine-" + std::to_string(stamp) + "-" + std::to_string(next++));
        std::filesystem::create_directories(path);
    }
    ~TemporaryDirectory() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

MachineBuilder& MachineBuilder::inf(std::string fileName, std::string text) {
    return file("C/WINDOWS/INF/" + fileName, std::move(text));
}

MachineBuilder& MachineBuilder::file(std::string path, std::string content) {
    // "C:\a\b" lies at C/a/b of the machine directory.
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        path = path.substr(0, 1) + "/" + path.substr(3);
        std::replace(path.begin(), path.end(), '\\', '/');
    }
    files_.emplace_back(std::move(path), std::move(content));
    return *this;
}

MachineBuilder MachineBuilder::defaultMachine() {
    const TemporaryDirectory written;
    writeDefaultMachine(written.path);
    auto read = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    MachineBuilder builder;
    builder.root_ = parseJson(read(written.path / "machine.json"));
    for (const Json& adapter : builder.root_["adapters"].elements()) builder.adapters_.emplace_back(adapter);
    constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
    std::string registry = read(written.path / "registry.reg");
    if (registry.starts_with(kHeader)) registry.erase(0, kHeader.size());
    builder.registry_ = std::move(registry);
    // Every file of its C: drive, by its path in the machine directory.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(written.path / "C"))
        if (entry.is_regular_file())
            builder.file(entry.path().lexically_relative(written.path).generic_string(), read(entry.path()));
    return builder;
}

Json MachineBuilder::json() const {
    Json root = root_;
    Json list = Json::array();
    for (const auto& a : adapters_) list.push_back(a.json());
    root.set("adapters", std::move(list));
    return root;
}

std::string MachineBuilder::registryText() const { return "Windows Registry Editor Version 5.00\r\n\r\n" + registry_; }

Host& MachineBuilder::install(SimClock::Mode clock) {
    std::unique_ptr<Machine> machine;
    if (files_.empty() && !inDirectory_) {
        machine = buildMachine(json());
        const std::string reg = registryText();
        applyRegFile(machine->registry,
                     std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(reg.data()), reg.size()));
        addMissingDriverKeys(*machine);
        addMissingConnectionKeys(*machine);
        addVlans(*machine);
        addTcpipKeys(*machine);
    } else {
        // A machine with files lives in a directory, loaded as every program loads one.
        if (!directory_) directory_ = std::make_shared<TemporaryDirectory>();
        writeDirectory(directory_->path);
        machine = loadMachineDirectory(directory_->path);
    }
    Host& host = Host::get();
    host.install(std::move(machine), clock);
    return host;
}

void MachineBuilder::writeDirectory(const std::filesystem::path& directory) const {
    std::filesystem::create_directories(directory / "C" / "WINDOWS" / "INF");
    std::filesystem::create_directories(directory / "C" / "WINDOWS" / "System32" / "Drivers");
    std::ofstream(directory / "machine.json", std::ios::binary | std::ios::trunc) << writeJson(json());
    std::ofstream(directory / "registry.reg", std::ios::binary | std::ios::trunc) << registryText();
    for (const auto& [path, content] : files_) {
        std::filesystem::create_directories((directory / path).parent_path());
        std::ofstream(directory / path, std::ios::binary | std::ios::trunc) << content;
    }
}

std::vector<std::string> traced(std::string_view kind) {
    std::vector<std::string> out;
    for (const auto& line : Host::get().trace().linesOf(kind)) out.push_back(line.substr(kind.size() + 1));
    return out;
}

uint64_t sleptMs() {
    uint64_t total = 0;
    for (const auto& s : traced("sleep")) total += std::stoull(s);
    return total;
}

}  // namespace kv::sim::testing
