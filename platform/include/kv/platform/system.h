// The system: version records, WOW64, file-system redirection, the last error, the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kv::platform {

inline constexpr uint32_t kPlatformWin32s = 0;
inline constexpr uint32_t kPlatformWindows = 1;  // Windows 9x
inline constexpr uint32_t kPlatformNt = 2;

struct OsVersion {
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t buildNumber = 0;
    uint32_t platformId = 0;
    std::u16string servicePack;
};

class System {
public:
    virtual ~System() = default;
    // GetVersionExW with the extended record (OSVERSIONINFOEXW) and with the basic one.
    virtual bool versionEx(OsVersion* out) = 0;
    virtual bool version(OsVersion* out) = 0;
    // "IsWow64Process" looked up in "kernel32" at run time: false when the function is absent.
    virtual bool hasIsWow64Process() = 0;
    // Calls it for the current process.
    virtual bool isWow64Process(bool* wow64) = 0;
    // Wow64DisableWow64FsRedirection / Wow64RevertWow64FsRedirection for this thread.
    virtual bool disableFsRedirection(void** oldValue) = 0;
    virtual bool revertFsRedirection(void* oldValue) = 0;

    // GetCommandLineW: the whole command line as the system handed it to the process, program
    // name first, quotes kept.
    virtual std::u16string commandLine() = 0;

    virtual uint32_t lastError() = 0;
    virtual void setLastError(uint32_t error) = 0;

    // ExitProcess: ends the process at once, without clean-up.
    [[noreturn]] virtual void exitProcess(uint32_t code) = 0;

    // What keeps the system from running the suite's programs at all; empty when nothing does.
    // On the simulated host, a machine directory that cannot be made or loaded (the file, the
    // field or line, what it expects): a program that asks tells the user itself, one that does
    // not is ended with it on standard error at its first system call. On Windows always empty.
    virtual std::string startProblem() = 0;
};

System& system();

// True when this is a 32-bit process on 64-bit Windows; false also when the system cannot tell.
inline bool runsUnderWow64() {
    bool wow64 = false;
    return system().hasIsWow64Process() && system().isWow64Process(&wow64) && wow64;
}

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start.
    virtual uint64_t nowMs() = 0;
    // Every wait of the suite goes through here.
    virtual void sleep(uint32_t ms) = 0;
    // Waits up to `ms` for `done` to hold (a thread's end, say), polling it; true when it holds.
    // Not a sleep of the suite: on the virtual clock the time passes at once when `done` does not
    // hold. `done` must be cheap and must not call back into the platform.
    virtual bool waitFor(uint32_t ms, const std::function<bool()>& done) = 0;
};

Clock& clock();

}  // namespace kv::platform
