// The simulated outside programs: found by file name, reading blank-separated parameters, and
// acting only inside the directory they were started from.
#include "kv/sim/programs.h"

#include <gtest/gtest.h>

#include <fstream>

#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/scratch_directory.h"
#include "kv/text.h"

namespace kv::sim {
namespace {

TEST(ProgramsTest, FoundByTheirFileNameWithoutRegardToCase) {
    const std::pair<const char16_t*, Program> cases[] = {
        {u"tvxbind.exe", runBindingTool}, {u"C:\\Tools\\TVXBIND.EXE", runBindingTool},
        {u"nicctlv6", runNicControlTool}, {u"cmd.exe", runCommandInterpreter},
        {u"tvxbind.exe.bak", nullptr},    {u"unknown.exe", nullptr},
    };
    for (const auto& [file, program] : cases) EXPECT_EQ(findProgram(file), program) << utf16ToUtf8(file);
    EXPECT_EQ(splitParameters(u" /dnicdrv  /nicid\t{X} "), (std::vector<std::string>{"/dnicdrv", "/nicid", "{X}"}));
}

TEST(ProgramsTest, TheCommandInterpreterDeletesOnlyFilesOfItsDirectory) {
    testing::ScratchDirectory scratch;
    std::filesystem::create_directory("work");
    std::ofstream("victim.txt") << "x";
    std::ofstream("work/a.txt") << "x";
    Host& host = testing::MachineBuilder().install();
    ProgramRun run{host, "cmd.exe", splitParameters(u"/c del a.txt ..\\victim.txt ../victim.txt"),
                   std::filesystem::current_path() / "work"};
    EXPECT_EQ(runCommandInterpreter(run).exitCode, 0u);
    EXPECT_TRUE(scratch.has("work/a.txt")) << "deleted after the interpreter's delay";
    host.sleep(100);
    EXPECT_FALSE(scratch.has("work/a.txt"));
    EXPECT_TRUE(scratch.has("victim.txt"));
    EXPECT_EQ(testing::traced("tool"), (std::vector<std::string>{"cmd del a.txt", "cmd del ..\\victim.txt (refused)",
                                                                 "cmd del ../victim.txt (refused)"}));
}

}  // namespace
}  // namespace kv::sim
