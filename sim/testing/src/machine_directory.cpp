#include "kv/sim/testing/machine_directory.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "kv/platform/testing/run_program.h"

namespace kv::sim::testing {

namespace {

std::filesystem::path freshFolder() {
    std::random_device random;
    std::ostringstream name;
    name << "kelva-test-" << std::hex << random() << random();
    return std::filesystem::temp_directory_path() / name.str();
}

}  // namespace

std::vector<std::string> ProgramRun::traced(std::string_view kind) const {
    std::vector<std::string> out;
    for (const auto& line : trace)
        if (line.size() > kind.size() && line.compare(0, kind.size(), kind) == 0 && line[kind.size()] == ' ')
            out.push_back(line.substr(kind.size() + 1));
    return out;
}

MachineDirectory::MachineDirectory(const MachineBuilder& machine)
    : root_(freshFolder()), machine_(root_ / "machine"), work_(root_ / "work") {
    std::filesystem::create_directories(work_);
    machine.writeDirectory(machine_);
}

MachineDirectory::~MachineDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

platform::testing::ProgramRequest MachineDirectory::request(const std::filesystem::path& program,
                                                            const std::vector<std::string>& arguments) const {
    platform::testing::ProgramRequest request;
    request.program = program;
    request.arguments = arguments;
    request.environment = {{"KELVA_MACHINE", machine_.string()}, {"KELVA_CLOCK", "virtual"}};
    request.workingDirectory = work_;
    return request;
}

ProgramRun MachineDirectory::run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                 const std::vector<std::pair<std::string, std::string>>& environment) const {
    const std::filesystem::path tracePath = root_ / "trace.txt";
    std::error_code ec;
    std::filesystem::remove(tracePath, ec);
    platform::testing::ProgramRequest runRequest = request(program, arguments);
    runRequest.environment.emplace_back("KELVA_TRACE", tracePath.string());
    runRequest.environment.insert(runRequest.environment.end(), environment.begin(), environment.end());
    const platform::testing::ProgramResult result = platform::testing::runProgram(runRequest);

    ProgramRun run;
    run.exitCode = result.exitCode;
    run.output = result.standardOutput;
    run.errors = result.standardError;
    std::istringstream lines(readFile(tracePath));
    for (std::string line; std::getline(lines, line);) run.trace.push_back(line);
    return run;
}

std::unique_ptr<platform::testing::StartedProgram> MachineDirectory::start(
    const std::filesystem::path& program, const std::vector<std::string>& arguments) const {
    return platform::testing::startProgram(request(program, arguments));
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

}  // namespace kv::sim::testing
