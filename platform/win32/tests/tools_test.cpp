// The device restart tool as the system runs it: its exit codes for the command lines it accepts
// and refuses, on a system where no adapter of the family is present.
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

}  // namespace
}  // namespace kv::test
