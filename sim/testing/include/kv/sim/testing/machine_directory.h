// A machine directory in a fresh temporary folder, for tests that run the suite's programs as
// processes on it: each run gets KELVA_MACHINE, KELVA_CLOCK=virtual and its own KELVA_TRACE file,
// and starts in a working directory of its own. The folder is removed with the object.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kv/platform/testing/run_program.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string output;              // standard output
    std::string errors;              // standard error
    std::vector<std::string> trace;  // the run's trace lines
    // The trace lines of one kind ("propchange", "copy", ...), without the kind word.
    std::vector<std::string> traced(std::string_view kind) const;
};

class MachineDirectory {
public:
    explicit MachineDirectory(const MachineBuilder& machine);
    ~MachineDirectory();
    MachineDirectory(const MachineDirectory&) = delete;
    MachineDirectory& operator=(const MachineDirectory&) = delete;

    const std::filesystem::path& machine() const { return machine_; }
    // The programs' current directory.
    const std::filesystem::path& workingDirectory() const { return work_; }

    // `environment` is set on top of the machine's variables (KELVA_PCAP, say).
    ProgramRun run(const std::filesystem::path& program, const std::vector<std::string>& arguments = {},
                   const std::vector<std::pair<std::string, std::string>>& environment = {}) const;
    // Starts a program on the directory without waiting for it (and without a trace file).
    std::unique_ptr<platform::testing::StartedProgram> start(const std::filesystem::path& program,
                                                             const std::vector<std::string>& arguments = {}) const;

private:
    platform::testing::ProgramRequest request(const std::filesystem::path& program,
                                              const std::vector<std::string>& arguments) const;

    std::filesystem::path root_;
    std::filesystem::path machine_;
    std::filesystem::path work_;
};

// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view content);

}  // namespace kv::sim::testing
