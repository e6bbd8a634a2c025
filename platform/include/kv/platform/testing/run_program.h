// Test support: runs one of the suite's programs as a separate process and waits for it. No shell
// is involved: the program is started directly with the argument list.
#pragma once

#include <filesystem>
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

}  // namespace kv::platform::testing
