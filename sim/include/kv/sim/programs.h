// The outside programs of the simulated machine (the binding tool, the adapter enable/disable
// tool, the command interpreter, ...). The process service starts them by file name; each one
// acts on the machine and writes its result files into the directory it was started from, after
// the delay machine.json's "tools" section gives it, on the simulated timeline.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kv/sim/json.h"

namespace kv::sim {

class Host;

// One start of a simulated program. The host is locked while the program's start runs.
struct ProgramRun {
    Host& host;
    std::string file;                 // the file name it was started by, as given
    std::vector<std::string> args;    // its parameters split at blanks
    std::filesystem::path directory;  // the current directory it was started from
};

struct ProgramExit {
    uint32_t exitCode = 0;
    uint32_t runMs = 0;  // how long the program runs; a caller that waits for it waits this long
};

using Program = ProgramExit (*)(ProgramRun& run);

// The simulated program started by this file name ("tvxbind.exe", "TVXBIND", "C:\x\cmd.exe"),
// matched on its last component without regard to case; null when the machine has none.
Program findProgram(std::u16string_view file);

// Splits a command line at runs of blanks and tabs, as the outside tools read theirs.
std::vector<std::string> splitParameters(std::u16string_view parameters);

// ASCII lower case, for the tools' switches ("/CB" is "/cb").
std::string lowerAscii(std::string_view text);

// A tool's behaviour from machine.json's "tools.<name>": how long a command takes, and whether it
// hangs without ever finishing.
struct ToolSettings {
    uint32_t delayMs = 0;
    bool neverCompletes = false;
    Json faults;  // the tool's other faults
};
ToolSettings toolSettings(Host& host, std::string_view name, uint32_t defaultDelayMs);

// A plain file name inside the start directory: not empty, no directory part, no drive, no "..".
bool isPlainFileName(std::string_view name);
// Writes (replaces) a text file in the directory; false when it cannot be written.
bool writeToolFile(const std::filesystem::path& directory, std::string_view name, std::string_view text);

// Runs `work` after the tool's delay and then writes "completed.txt" into the run's directory,
// tracing "tool <name> <what>" with what `work` returns. A tool that never completes does nothing.
void finishLater(ProgramRun& run, const ToolSettings& tool, std::string name, std::function<std::string()> work);

// The programs, one source file each under src/programs/.
ProgramExit runBindingTool(ProgramRun& run);          // tvxbind.exe
ProgramExit runNicControlTool(ProgramRun& run);       // nicctlv6.exe
ProgramExit runCommandInterpreter(ProgramRun& run);   // cmd.exe
ProgramExit runNetCommand(ProgramRun& run);           // net.exe
ProgramExit runDriverFileInstaller(ProgramRun& run);  // Plantdrv64.exe
ProgramExit runPing(ProgramRun& run);                 // ping.exe

}  // namespace kv::sim
