#include "kv/sim/services.h"

#include <string>
#include <system_error>

#include "kv/platform/types.h"
#include "kv/sim/host.h"
#include "kv/sim/paths.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

namespace err = platform::err;

bool isProtocolDriver(Host& host, std::string_view name) {
    return equalsIgnoreCase(utf8ToUtf16(name), host.machine().protocolDriver.serviceName);
}

const Json& entry(Host& host, std::string_view name) {
    for (const auto& [key, value] : host.machine().config["services"].items())
        if (equalsIgnoreCase(utf8ToUtf16(key), utf8ToUtf16(name))) return value;
    static const Json none;
    return none;
}

// Whether the driver file a service needs is in the system's driver directory.
bool driverFilePresent(std::u16string_view file) {
    if (file.empty()) return true;
    std::error_code ec;
    const auto path = resolveWindowsPath(u"C:\\WINDOWS\\System32\\Drivers\\" + std::u16string(file));
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

uint32_t startProtocolDriver(Host& host) {
    auto& pd = host.machine().protocolDriver;
    if (pd.startError) return pd.startError;
    if (pd.running) return err::kServiceAlreadyRunning;
    if (!driverFilePresent(pd.driverFile)) return err::kFileNotFound;
    pd.running = true;
    return err::kSuccess;
}

uint32_t startOtherService(Host& host, std::string_view name) {
    const Json& e = entry(host, name);
    if (const uint64_t error = e["faults"]["startError"].asUInt(0)) return static_cast<uint32_t>(error);
    auto& running = host.machine().startedServices;
    for (const auto& r : running)
        if (equalsIgnoreCase(utf8ToUtf16(r), utf8ToUtf16(name))) return err::kServiceAlreadyRunning;
    if (e["running"].asBool(false)) return err::kServiceAlreadyRunning;
    if (!driverFilePresent(utf8ToUtf16(e["driverFile"].asString()))) return err::kFileNotFound;
    running.emplace_back(name);
    return err::kSuccess;
}

}  // namespace

bool serviceInstalled(Host& host, std::string_view name) {
    if (isProtocolDriver(host, name)) return host.machine().protocolDriver.installed;
    const Json& e = entry(host, name);
    return e.isObject() && e["installed"].asBool(true);
}

uint32_t startService(Host& host, std::string_view name) {
    uint32_t result = err::kServiceDoesNotExist;
    if (serviceInstalled(host, name))
        result = isProtocolDriver(host, name) ? startProtocolDriver(host) : startOtherService(host, name);
    host.trace().add("service start " + std::string(name) + (result ? " err=" + std::to_string(result) : " ok"));
    return result;
}

}  // namespace kv::sim
