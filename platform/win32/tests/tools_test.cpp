// The tools as the system runs them, on a system where no adapter of the family is present and
// the protocol driver is missing: the device restart tool's exit codes for the command lines it
// accepts and refuses, and the capture of such a computer.
#include <fstream>
#include <sstream>

#include "kv/platform/processes.h"
#include "win32_test_support.h"

namespace kv::test {
namespace {

TEST(Cyclenic64Test, ExitCodes) {
    const auto tool = programDirectory() / "Cyclenic64.exe";
    ASSERT_TRUE(std::filesystem::exists(tool));
    const struct {
        std::u16string_view line;
        uint32_t code;
    } cases[] = {
        {u"", 2},
        {u"/4450", 0},
        {u"/4450 /4440", 0},
        {u"/HWID PCI\\VEN_1D7A&DEV_4450&SUBSYS_00011D7A", 0},
        {u"/hwid", 2},
        {u"\"quoted\" /4450", 0},
        {u"/4451", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(utf16ToUtf8(c.line));
        uint32_t code = 99;
        ASSERT_TRUE(platform::processes().start({.file = u16(tool), .parameters = c.line, .wait = true}, &code));
        EXPECT_EQ(code, c.code);
    }
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(KelvacaptureTest, AComputerWithoutTheProtocolDriverGivesAMachineWithoutAdapters) {
    const auto tool = programDirectory() / "Kelvacapture.exe";
    ASSERT_TRUE(std::filesystem::exists(tool));
    const auto target = std::filesystem::temp_directory_path() / "kelvacapture-test";
    std::filesystem::remove_all(target);
    uint32_t code = 99;
    ASSERT_TRUE(platform::processes().start(
        {.file = u16(tool), .parameters = u"\"" + u16(target) + u"\"", .wait = true}, &code));
    EXPECT_EQ(code, 0u);

    const std::string machine = fileText(target / "machine.json");
    EXPECT_NE(machine.find("\"adapters\": []"), std::string::npos) << machine;
    EXPECT_NE(machine.find("\"installed\": false"), std::string::npos) << machine;
    EXPECT_EQ(fileText(target / "registry.reg").rfind("Windows Registry Editor Version 5.00", 0), 0u);
    EXPECT_NE(fileText(target / "capture.log").find("protocol driver: not installed"), std::string::npos);

    ASSERT_TRUE(platform::processes().start({.file = u16(tool), .parameters = u"", .wait = true}, &code));
    EXPECT_EQ(code, 2u) << "no directory named";
    std::filesystem::remove_all(target);
}

}  // namespace
}  // namespace kv::test
