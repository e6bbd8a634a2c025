// Version records, WOW64, the last error and the clock on the simulated host.
#include "kv/platform/system.h"
#include "kv/platform/types.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "kv/sim/host.h"
#include "kv/text.h"

namespace kv::platform {

namespace {

using sim::Host;

class SimSystem : public System {
public:
    bool versionEx(OsVersion* out) override { return fill(out, Host::Call(Host::get()).host.machine().os.versionExFails); }
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
    std::u16string commandLine() override {
        std::ifstream in("/proc/self/cmdline", std::ios::binary);
        const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string line;
        size_t start = 0;
        for (size_t n = 0; start < raw.size(); ++n) {
            size_t end = raw.find('\0', start);
            if (end == std::string::npos) end = raw.size();
            std::string argument = raw.substr(start, end - start);
            if (n == 0 && argument.find_first_of(" \t") != std::string::npos) argument = '"' + argument + '"';
            if (n > 0) line += ' ';
            line += argument;
            start = end + 1;
        }
        return utf8ToUtf16(line);
    }

    uint32_t lastError() override { return Host::lastError(); }
    void setLastError(uint32_t error) override { Host::setLastError(error); }

    [[noreturn]] void exitProcess(uint32_t code) override {
        Host::get().trace().add("exit " + std::to_string(static_cast<int32_t>(code)));
        std::fflush(stdout);
        std::_Exit(static_cast<int>(code));
    }

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
