// Plantdrv64 run as a process: its output lines, the redirection switch around the copy, and the
// driver file it leaves in the machine's driver directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "kv/sim/testing/machine_directory.h"

namespace kv::plantdrv {
namespace {

using sim::Json;
using sim::testing::MachineBuilder;
using sim::testing::MachineDirectory;
using sim::testing::ProgramRun;
using sim::testing::readFile;
using sim::testing::writeFile;

constexpr char kTargetLine[] = "System Directory:   C:\\WINDOWS\\System32\\Drivers\\diag50xp.sys\n";
constexpr char kCopyFailLine[] = "CopyFile Fail:   diag50xp.sys\n";
constexpr char kCopyTrace[] = "copy diag50xp.sys C:\\WINDOWS\\System32\\Drivers\\diag50xp.sys ";

// The redirection switches and the copy, in the order they happened.
std::vector<std::string> fileSteps(const ProgramRun& run) {
    std::vector<std::string> out;
    for (const auto& line : run.trace)
        if (line.rfind("wow64 ", 0) == 0 || line.rfind("copy ", 0) == 0) out.push_back(line);
    return out;
}

TEST(Plantdrv64Test, Runs) {
    struct Case {
        const char* label;
        bool wow64;
        bool hasIsWow64Process;
        bool disableFails;
        bool sourcePresent;
        std::string output;
        std::vector<std::string> steps;
        bool copied;
    };
    const std::string copyOk = std::string(kCopyTrace) + "ok";
    const std::string copyMissing = std::string(kCopyTrace) + "err=2";
    const Case cases[] = {
        {"64-bit",
         true,
         true,
         false,
         true,
         std::string("Disable WOW64\n") + kTargetLine + "Enable WOW64\n",
         {"wow64 disable-redirection ok", copyOk, "wow64 revert-redirection ok"},
         true},
        {"64-bit, no source",
         true,
         true,
         false,
         false,
         std::string("Disable WOW64\n") + kTargetLine + kCopyFailLine + "Enable WOW64\n",
         {"wow64 disable-redirection ok", copyMissing, "wow64 revert-redirection ok"},
         false},
        {"64-bit, switch-off fails",
         true,
         true,
         true,
         true,
         "Disable WOW64 Failed\n",
         {"wow64 disable-redirection err=1"},
         false},
        {"32-bit", false, true, false, true, kTargetLine, {copyOk}, true},
        {"32-bit, no source",
         false,
         true,
         false,
         false,
         std::string(kTargetLine) + kCopyFailLine,
         {copyMissing},
         false},
        // Without "IsWow64Process" the system counts as 32-bit.
        {"no IsWow64Process", true, false, false, true, kTargetLine, {copyOk}, true},
    };
    for (const Case& c : cases) {
        MachineBuilder m;
        m.set("os.major", Json(5)).set("os.minor", Json(2)).set("os.wow64", Json(c.wow64));
        m.set("os.hasIsWow64Process", Json(c.hasIsWow64Process));
        m.set("os.faults.disableRedirection", Json(c.disableFails));
        const MachineDirectory machine(m);
        if (c.sourcePresent) writeFile(machine.workingDirectory() / "diag50xp.sys", "driver image");
        const ProgramRun run = machine.run(KV_PLANTDRV64);
        EXPECT_EQ(run.exitCode, 0) << c.label;
        EXPECT_EQ(run.output, c.output) << c.label;
        EXPECT_EQ(fileSteps(run), c.steps) << c.label;
        const auto target = machine.machine() / "C" / "WINDOWS" / "System32" / "Drivers" / "diag50xp.sys";
        EXPECT_EQ(std::filesystem::exists(target), c.copied) << c.label;
    }
}

TEST(Plantdrv64Test, ReplacesAnExistingDriverFile) {
    MachineBuilder m;
    m.set("os.major", Json(5)).set("os.minor", Json(2)).set("os.wow64", Json(true));
    const MachineDirectory machine(m);
    const auto target = machine.machine() / "C" / "WINDOWS" / "System32" / "Drivers" / "diag50xp.sys";
    writeFile(target, "old driver");
    writeFile(machine.workingDirectory() / "diag50xp.sys", "new driver");
    const ProgramRun run = machine.run(KV_PLANTDRV64);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(readFile(target), "new driver");
    EXPECT_EQ(run.output, std::string("Disable WOW64\n") + kTargetLine + "Enable WOW64\n");
}

}  // namespace
}  // namespace kv::plantdrv
