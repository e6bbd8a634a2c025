// Test support: runs one of the suite's programs as a separate process and waits for it. No shell
// is involved: the program is started directly with the argument list.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kv::platform::testing {

struct ProgramRequest {
    std::filesystem::path program;
    // Handed to the program as they stand; on Windows they are joined into its command line with
    // blanks (an argument is quoted only when it holds a blank).
    std::vector<std::string> arguments;
    // Set in the program's environment on top of the caller's own.
    std::vector<std::pair<std::string, std::string>> environment;
    // Empty: the caller's current directory.
    std::filesystem::path workingDirectory;
};

struct ProgramResult {
    // -1 when the program could not be started or did not end by exiting.
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;
};

ProgramResult runProgram(const ProgramRequest& request);

// A program started without waiting for it; its standard output is discarded. Killed when the
// object goes while it still runs.
class StartedProgram {
public:
    virtual ~StartedProgram() = default;
    // Ends it at once, the way a crash or a kill -9 ends a program: no clean-up of its own runs.
    virtual void kill() = 0;
    // Waits for it to end: its exit code, -1 when it did not end by exiting.
    virtual int wait() = 0;
};

// Null when the program could not be started.
std::unique_ptr<StartedProgram> startProgram(const ProgramRequest& request);

}  // namespace kv::platform::testing
