#include "system_facts.h"

#include <string>

#include "kv/platform/services.h"
#include "kv/platform/system.h"
#include "kv/platform/types.h"
#include "kv/text.h"

namespace kv::capture {

namespace {

const char* platformName(uint32_t id) {
    switch (id) {
        case platform::kPlatformWin32s:
            return "win32s";
        case platform::kPlatformWindows:
            return "9x";
        default:
            return "nt";
    }
}

constexpr char16_t kOlderDriverService[] = u"NPROBE";

}  // namespace

JsonValue captureOs(CaptureLog& log) {
    auto& system = platform::system();
    JsonValue os = JsonValue::object();
    platform::OsVersion version;
    const bool extended = system.versionEx(&version);
    if (!extended && !system.version(&version)) {
        log.skipped("Windows version", "both version records are refused");
        os.member("faults").set("versionEx", true).set("version", true);
        return os;
    }
    os.set("platform", platformName(version.platformId))
        .set("major", version.majorVersion)
        .set("minor", version.minorVersion)
        .set("build", version.buildNumber)
        .set("servicePack", utf16ToUtf8(version.servicePack));
    if (!extended) {
        log.note("Windows version: the extended record is refused; the basic one is kept");
        os.member("faults").set("versionEx", true);
    }
    const bool hasIsWow64 = system.hasIsWow64Process();
    os.set("hasIsWow64Process", hasIsWow64);
    bool wow64 = false;
    if (hasIsWow64 && !system.isWow64Process(&wow64)) log.skipped("WOW64 state", "the system cannot tell");
    os.set("wow64", wow64);
    log.note("Windows " + std::to_string(version.majorVersion) + "." + std::to_string(version.minorVersion) +
             " build " + std::to_string(version.buildNumber) + (wow64 ? ", this program runs under WOW64" : ""));
    return os;
}

JsonValue protocolDriverState(bool installed, uint32_t openError, CaptureLog& log) {
    JsonValue driver = JsonValue::object();
    driver.set("installed", installed);
    // A missing device is a service that does not run; any other refusal is a fault of its own.
    const bool running = installed && openError != platform::err::kFileNotFound;
    driver.set("running", running);
    if (running && openError) driver.member("faults").set("openError", openError);
    if (!installed)
        log.note("protocol driver: not installed");
    else if (!running)
        log.note("protocol driver: installed, not running");
    else if (openError)
        log.note("protocol driver: its device refuses to open, error " + std::to_string(openError));
    return driver;
}

JsonValue captureServices(CaptureLog& log) {
    JsonValue services = JsonValue::object();
    if (serviceInstalled(kOlderDriverService)) {
        // The service manager offers no state query here: the service counts as stopped.
        services.member(utf16ToUtf8(kOlderDriverService)).set("installed", true);
        log.note("service NPROBE: installed (its running state is not read)");
    }
    return services;
}

}  // namespace kv::capture
