// Reading the tool's command line: the arguments part of the system's line, then its tokens.
#include "command_line.h"

#include <gtest/gtest.h>

namespace kv::cyclenic {
namespace {

TEST(CommandLineTest, ArgumentsFollowTheProgramName) {
    struct Case {
        std::u16string_view full;
        std::u16string_view arguments;
    };
    const Case cases[] = {
        {u"Cyclenic64.exe /4450", u"/4450"},
        {u"\"C:\\Program Files\\Tavrick\\Cyclenic64.exe\"   /hwid x", u"/hwid x"},
        {u"Cyclenic64.exe\t \"quoted\"", u"\"quoted\""},
        {u"Cyclenic64.exe", u""},
        {u"\"C:\\no closing quote /4450", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(argumentsOf(c.full), c.arguments) << std::string(c.full.begin(), c.full.end());
}

TEST(CommandLineTest, Tokens) {
    const std::string use(kUseOemIdLine);
    const std::string wrong(kWrongOemIdLine);
    struct Case {
        std::string_view line;
        int group;
        bool valid;
        std::vector<std::string> log;
        std::string oemId;
    };
    const Case cases[] = {
        {"/4450", kGroup4450, true, {}, ""},
        {"/4450 /4440", kGroup4440, true, {}, ""},
        {"  /4440\t/4420  ", kGroup4420, true, {}, ""},
        {"\"C:\\Tools\\Cyclenic64.exe\" /4450", kGroup4450, true, {}, ""},
        {"/HWID PCI\\VEN_1D7A&DEV_4450&SUBSYS_00011D7A",
         kNoGroup,
         true,
         {use, "pci\\ven_1d7a&dev_4450&subsys_00011d7a"},
         "pci\\ven_1d7a&dev_4450&subsys_00011d7a"},
        // The accepted id is cut at its first double quote.
        {"/hwid pci\\ven_1d7a&dev_4430\"tail\" /4450",
         kGroup4450,
         true,
         {use, "pci\\ven_1d7a&dev_4430"},
         "pci\\ven_1d7a&dev_4430"},
        {"/hwid pci\\ven_8086&dev_100e", kNoGroup, false, {use, wrong}, ""},
        {"/hwid \"pci\\ven_1d7a&dev_4450\"", kNoGroup, false, {use, wrong}, ""},
        {"/4450 /hwid", kGroup4450, false, {use, wrong}, ""},
        {"/4451", kNoGroup, false, {}, ""},
        // Parsing goes on to the end of the line after a bad token.
        {"/reset /4420", kGroup4420, false, {}, ""},
        {"/hwid bad /hwid pci\\ven_1d7a", kNoGroup, false, {use, wrong, use, "pci\\ven_1d7a"}, "pci\\ven_1d7a"},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.line);
        EXPECT_EQ(parsed.group, c.group) << c.line;
        EXPECT_EQ(parsed.valid, c.valid) << c.line;
        EXPECT_EQ(parsed.logLines, c.log) << c.line;
        EXPECT_EQ(parsed.oemId, c.oemId) << c.line;
        EXPECT_EQ(parsed.oemIdGiven, !c.oemId.empty()) << c.line;
    }
}

}  // namespace
}  // namespace kv::cyclenic
