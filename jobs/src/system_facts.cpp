#include "kv/jobs/system_facts.h"

#include "kv/platform/services.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/text.h"

namespace kv::jobs {

std::string_view suiteVersion() { return KV_SUITE_VERSION; }

std::optional<platform::OsVersion> windowsVersion() {
    platform::OsVersion version;
    if (platform::system().versionEx(&version) || platform::system().version(&version)) return version;
    return std::nullopt;
}

std::string windowsVersionText(const std::optional<platform::OsVersion>& version) {
    if (!version) return "unknown";
    std::string text = "Windows " + std::to_string(version->majorVersion) + "." +
                       std::to_string(version->minorVersion) + " build " + std::to_string(version->buildNumber);
    if (!version->servicePack.empty()) text += " " + utf16ToUtf8(version->servicePack);
    return text;
}

bool runsUnderWow64() { return platform::runsUnderWow64(); }

bool serviceInstalled(std::u16string_view name) {
    auto& scm = platform::serviceManager();
    const platform::ServiceHandle manager(scm.openManager(platform::svcaccess::kQueryStatus));
    if (!manager) return false;
    const platform::ServiceHandle service(scm.openService(manager.get(), name, platform::svcaccess::kQueryStatus));
    return static_cast<bool>(service);
}

ProtocolDriverState protocolDriverState(const std::optional<platform::OsVersion>& version, uint32_t openError) {
    ProtocolDriverState state;
    const auto names = version ? protocol::protocolDriverFor(version->platformId, version->majorVersion)
                               : protocol::protocolDriverFor(platform::kPlatformNt, 6);
    state.service = names.serviceName;
    state.installed = serviceInstalled(state.service);
    // A missing device is a service that does not run; any other refusal is a fault of its own.
    state.running = state.installed && openError != platform::err::kFileNotFound;
    state.openError = openError;
    return state;
}

std::string protocolDriverText(const ProtocolDriverState& state) {
    std::string text = utf16ToUtf8(state.service) + ": ";
    if (!state.installed) return text + "not installed";
    if (!state.running) return text + "installed, not running";
    if (state.openError)
        return text + "installed, its device refuses to open (error " + std::to_string(state.openError) + ")";
    return text + "installed, running";
}

}  // namespace kv::jobs
