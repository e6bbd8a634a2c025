// Version records, WOW64, the last error and the clock on the Windows API. The WOW64 functions
// are looked up at run time: 32-bit Windows 5.1 lacks them, and the library must still load there.
#include "kv/platform/system.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <iterator>

#include "win32_util.h"

namespace kv::platform {

namespace {

using IsWow64ProcessFn = BOOL WINAPI(HANDLE, PBOOL);
using DisableRedirectionFn = BOOL WINAPI(PVOID*);
using RevertRedirectionFn = BOOL WINAPI(PVOID);

template <typename Fn>
Fn* kernel32(const char* name) {
    return win32::systemFunction<Fn>(L"kernel32", name);
}

void fill(const OSVERSIONINFOW& v, OsVersion* out) {
    out->majorVersion = v.dwMajorVersion;
    out->minorVersion = v.dwMinorVersion;
    out->buildNumber = v.dwBuildNumber;
    out->platformId = v.dwPlatformId;
    out->servicePack = win32::fromWide(v.szCSDVersion, wcsnlen(v.szCSDVersion, std::size(v.szCSDVersion)));
}

class Win32System : public System {
public:
    bool versionEx(OsVersion* out) override {
        OSVERSIONINFOEXW v{};
        v.dwOSVersionInfoSize = sizeof v;
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) return false;
        fill(*reinterpret_cast<OSVERSIONINFOW*>(&v), out);
        return true;
    }

    bool version(OsVersion* out) override {
        OSVERSIONINFOW v{};
        v.dwOSVersionInfoSize = sizeof v;
        if (!GetVersionExW(&v)) return false;
        fill(v, out);
        return true;
    }

    bool hasIsWow64Process() override { return kernel32<IsWow64ProcessFn>("IsWow64Process") != nullptr; }

    bool isWow64Process(bool* wow64) override {
        auto* fn = kernel32<IsWow64ProcessFn>("IsWow64Process");
        if (!fn) {
            SetLastError(ERROR_INVALID_FUNCTION);
            return false;
        }
        BOOL result = FALSE;
        if (!fn(GetCurrentProcess(), &result)) return false;
        *wow64 = result != FALSE;
        return true;
    }

    bool disableFsRedirection(void** oldValue) override {
        auto* fn = kernel32<DisableRedirectionFn>("Wow64DisableWow64FsRedirection");
        if (!fn) {
            SetLastError(ERROR_INVALID_FUNCTION);
            return false;
        }
        return fn(oldValue) != FALSE;
    }

    bool revertFsRedirection(void* oldValue) override {
        auto* fn = kernel32<RevertRedirectionFn>("Wow64RevertWow64FsRedirection");
        if (!fn) {
            SetLastError(ERROR_INVALID_FUNCTION);
            return false;
        }
        return fn(oldValue) != FALSE;
    }

    std::u16string commandLine() override {
        const wchar_t* line = GetCommandLineW();
        return line ? win32::fromWide(line, wcslen(line)) : std::u16string();
    }

    uint32_t lastError() override { return GetLastError(); }
    void setLastError(uint32_t error) override { SetLastError(error); }

    [[noreturn]] void exitProcess(uint32_t code) override {
        std::fflush(stdout);
        ExitProcess(code);
    }

    std::string startProblem() override { return {}; }
};

class Win32Clock : public Clock {
public:
    uint64_t nowMs() override {
        using namespace std::chrono;
        return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void sleep(uint32_t ms) override { Sleep(ms); }
    bool waitFor(uint32_t ms, const std::function<bool()>& done) override {
        constexpr uint64_t kPollMs = 5;
        const uint64_t until = nowMs() + ms;
        for (;;) {
            if (done()) return true;
            const uint64_t now = nowMs();
            if (now >= until) return false;
            Sleep(static_cast<DWORD>(std::min(until - now, kPollMs)));
        }
    }
};

}  // namespace

System& system() {
    static Win32System instance;
    return instance;
}

Clock& clock() {
    static Win32Clock instance;
    return instance;
}

}  // namespace kv::platform
