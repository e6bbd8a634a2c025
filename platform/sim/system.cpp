// Version records, WOW64, the last error and the clock on the simulated host.
#include "kv/platform/system.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "kv/platform/types.h"
#include "kv/sim/host.h"
#include "kv/text.h"
#include "native/command_line.h"

namespace kv::platform {

namespace {

using sim::Host;

class SimSystem : public System {
public:
    bool versionEx(OsVersion* out) override {
        return fill(out, Host::Call(Host::get()).host.machine().os.versionExFails);
    }
    bool version(OsVersion* out) override { return fill(out, Host::Call(Host::get()).host.machine().os.versionFails); }

    bool hasIsWow64Process() override { return Host::Call(Host::get()).host.machine().os.hasIsWow64Process; }

    bool isWow64Process(bool* wow64) override {
        Host::Call call(Host::get());
        if (!call.host.machine().os.hasIsWow64Process) {
            Host::setLastError(err::kInvalidFunction);
            return false;
        }
        *wow64 = call.host.machine().os.wow64;
        return true;
    }

    bool disableFsRedirection(void** oldValue) override {
        Host::Call call(Host::get());
        const auto& os = call.host.machine().os;
        if (!os.wow64 || os.redirectionFails) {
            Host::setLastError(err::kInvalidFunction);
            call.host.trace().add("wow64 disable-redirection err=1");
            return false;
        }
        *oldValue = nullptr;
        call.host.trace().add("wow64 disable-redirection ok");
        return true;
    }

    bool revertFsRedirection(void*) override {
        Host::Call call(Host::get());
        call.host.trace().add("wow64 revert-redirection ok");
        return true;
    }

    // The process's arguments as Windows would hand them over: the program name, quoted when it
    // holds a blank, then every argument as it stands, joined by blanks.
    std::u16string commandLine() override { return native::processCommandLine(); }

    uint32_t lastError() override { return Host::lastError(); }
    void setLastError(uint32_t error) override { Host::setLastError(error); }

    [[noreturn]] void exitProcess(uint32_t code) override {
        Host::get().trace().add("exit " + std::to_string(static_cast<int32_t>(code)));
        std::fflush(stdout);
        std::_Exit(static_cast<int>(code));
    }

    std::string startProblem() override { return Host::get().machineProblem(); }

private:
    static bool fill(OsVersion* out, bool fails) {
        if (fails) {
            Host::setLastError(err::kInvalidParameter);
            return false;
        }
        const auto& os = Host::get().machine().os;
        out->platformId = os.platformId;
        out->majorVersion = os.major;
        out->minorVersion = os.minor;
        out->buildNumber = os.build;
        out->servicePack = os.servicePack;
        return true;
    }
};

class SimClockService : public Clock {
public:
    uint64_t nowMs() override { return Host::Call(Host::get()).host.clock().nowMs(); }
    void sleep(uint32_t ms) override { Host::get().sleep(ms); }
    bool waitFor(uint32_t ms, const std::function<bool()>& done) override { return Host::get().waitFor(ms, done); }
};

}  // namespace

System& system() {
    static SimSystem instance;
    return instance;
}

Clock& clock() {
    static SimClockService instance;
    return instance;
}

}  // namespace kv::platform
