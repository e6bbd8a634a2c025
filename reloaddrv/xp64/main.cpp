// Cyclenic64: restarts every present network adapter of one chip group. Each device of the group
// is disabled through the device installer, and after a second enabled again, so that its driver
// is reloaded. The tool has no window; it answers with its exit code:
//   0  a run took place (also when nothing matched, no group was chosen or a restart failed)
//   1  the system version is not accepted
//   2  the command line is empty or invalid
// The logging build (KV_INSTALL_LOG=1) also writes InstallLog.txt in the current directory.
#include <cstdint>
#include <string>

#include "command_line.h"
#include "install_log.h"
#include "kv/platform/system.h"
#include "kv/text.h"
#include "os_version_class.h"
#include "restart_pass.h"

#ifndef KV_INSTALL_LOG
#define KV_INSTALL_LOG 0
#endif

namespace {

using namespace kv::cyclenic;

constexpr bool kWritesInstallLog = KV_INSTALL_LOG != 0;

constexpr int kExitRan = 0;
constexpr int kExitVersionRefused = 1;
constexpr int kExitBadCommandLine = 2;

// The pause between disabling and enabling the group's devices.
constexpr uint32_t kRestartPauseMs = 1000;

int run() {
    InstallLog log = kWritesInstallLog ? InstallLog::open() : InstallLog();
    if (osVersionClass(readSystemVersion()) == kVersionNotAccepted) return kExitVersionRefused;

    const std::string line = kv::utf16ToAnsi(argumentsOf(kv::platform::system().commandLine()));
    if (line.empty()) return kExitBadCommandLine;
    const ParsedCommandLine parsed = parseCommandLine(line);
    for (const std::string& l : parsed.logLines) log.write(l);
    if (!parsed.valid) return kExitBadCommandLine;

    if (parsed.group != kNoGroup) {
        // The passes' results do not change the outcome: a refused device ends only its pass.
        runRestartPass(parsed.group, RestartStep::Disable);
        kv::platform::clock().sleep(kRestartPauseMs);
        runRestartPass(parsed.group, RestartStep::Enable);
    }
    log.writeExitCode(kExitRan);
    return kExitRan;
}

}  // namespace

int main() { return run(); }
