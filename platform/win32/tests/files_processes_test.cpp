// Text files, copies and started programs on the real system, in a scratch current directory.
#include "kv/platform/files.h"
#include "kv/platform/processes.h"
#include "kv/platform/system.h"
#include "kv/platform/types.h"
#include "win32_test_support.h"

namespace kv::test {
namespace {

using namespace platform;

class FilesTest : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(FilesTest, TextFilesAreWrittenAppendedAndReadLineByLine) {
    ASSERT_NE(files().open(u"pt.txt", FileMode::WriteTruncate), nullptr);
    files().open(u"pt.txt", FileMode::WriteTruncate)->write("line one\n");
    files().open(u"pt.txt", FileMode::Append)->write("line two\n");
    // Text mode: each line feed is a CR LF on disk.
    EXPECT_EQ(std::filesystem::file_size(scratch.path() / "pt.txt"), 20u);

    auto in = files().open(u"pt.txt", FileMode::Read);
    ASSERT_NE(in, nullptr);
    std::string line;
    ASSERT_TRUE(in->readLine(&line, 5));
    EXPECT_EQ(line, "line");
    ASSERT_TRUE(in->readLine(&line, 510));
    EXPECT_EQ(line, " one\n");
    ASSERT_TRUE(in->readLine(&line, 510));
    EXPECT_EQ(line, "line two\n");
    EXPECT_FALSE(in->readLine(&line, 510));
    EXPECT_EQ(files().open(u"missing.txt", FileMode::Read), nullptr);
}

TEST_F(FilesTest, ExistsCopyAndRemove) {
    files().open(u"diag50xp.sys", FileMode::WriteTruncate)->write("driver");
    std::filesystem::create_directory(scratch.path() / "Drivers");
    EXPECT_TRUE(files().exists(u"diag50xp.sys"));
    EXPECT_FALSE(files().exists(u"Drivers"));
    EXPECT_FALSE(files().exists(u"completed.txt"));

    EXPECT_TRUE(files().copy(u"diag50xp.sys", u"Drivers\\diag50xp.sys", false));
    EXPECT_FALSE(files().copy(u"diag50xp.sys", u"Drivers\\diag50xp.sys", true));
    EXPECT_EQ(system().lastError(), err::kFileExists);
    EXPECT_TRUE(files().copy(u"diag50xp.sys", u"Drivers\\diag50xp.sys", false));
    EXPECT_FALSE(files().copy(u"missing.sys", u"Drivers\\missing.sys", false));
    EXPECT_EQ(system().lastError(), err::kFileNotFound);

    EXPECT_TRUE(files().remove(u"diag50xp.sys"));
    EXPECT_FALSE(files().exists(u"diag50xp.sys"));
    EXPECT_FALSE(files().remove(u"diag50xp.sys"));
    EXPECT_EQ(system().lastError(), err::kFileNotFound);
}

TEST_F(FilesTest, TheCurrentAndTheWindowsDirectory) {
    EXPECT_EQ(folded(files().currentDirectory()), folded(u16(scratch.path())));
    const std::u16string windows = folded(files().windowsDirectory());
    ASSERT_GE(windows.size(), 10u);
    EXPECT_EQ(windows.substr(1), u":\\windows");
}

TEST_F(FilesTest, ProgramsStartHiddenAndReportTheirExitCode) {
    uint32_t code = 0;
    ASSERT_TRUE(processes().start({.file = u"cmd.exe", .parameters = u"/c exit 7", .wait = true}, &code));
    EXPECT_EQ(code, 7u);
    // Without waiting the call returns once the program runs; it leaves its file behind.
    ASSERT_TRUE(processes().start({.verb = u"Open", .file = u"cmd.exe", .parameters = u"/c echo done> completed.txt"}));
    for (int i = 0; i < 100 && !files().exists(u"completed.txt"); ++i) clock().sleep(50);
    EXPECT_TRUE(files().exists(u"completed.txt"));
    EXPECT_FALSE(processes().start({.file = u"kelvadiag-no-such-tool.exe", .parameters = u"", .wait = true}, &code));
}

}  // namespace
}  // namespace kv::test
