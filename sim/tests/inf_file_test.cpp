#include "kv/sim/inf_file.h"

#include <gtest/gtest.h>

#include "kv/text.h"

namespace kv::sim {
namespace {

using Fields = std::vector<std::u16string>;

InfLine keyed(std::u16string key, Fields fields) { return InfLine{std::move(key), std::move(fields)}; }
InfLine unkeyed(Fields fields) { return InfLine{std::nullopt, std::move(fields)}; }

std::string describe(const std::vector<InfLine>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += "{" + (l.key ? "key=<" + utf16ToUtf8(*l.key) + ">" : std::string("no key"));
        for (const auto& f : l.fields) out += " <" + utf16ToUtf8(f) + ">";
        out += "} ";
    }
    return out;
}

TEST(InfFile, TrickyLines) {
    struct Case {
        std::u16string_view body;
        std::vector<InfLine> expected;
    };
    const Case cases[] = {
        {u"key = value", {keyed(u"key", {u"value"})}},
        {u"key=v1, v2 ,v3", {keyed(u"key", {u"v1", u"v2", u"v3"})}},
        {u"\tkey\t=\tv w\t", {keyed(u"key", {u"v w"})}},
        {u"key = \"a, b\", c", {keyed(u"key", {u"a, b", u"c"})}},
        {u"key = \"say \"\"hi\"\"\"", {keyed(u"key", {u"say \"hi\""})}},
        {u"key = \" padded \" ", {keyed(u"key", {u" padded "})}},
        {u"key = \"x\"y\"z\"", {keyed(u"key", {u"xyz"})}},
        {u"key = a \"b\" c", {keyed(u"key", {u"a b c"})}},
        {u"key = value ; comment, with = and \"", {keyed(u"key", {u"value"})}},
        {u"key = \"a;b=c\" ; c", {keyed(u"key", {u"a;b=c"})}},
        {u"key = ,x", {keyed(u"key", {u"", u"x"})}},
        {u"key = x,", {keyed(u"key", {u"x", u""})}},
        {u"key = , ,", {keyed(u"key", {u"", u"", u""})}},
        {u"key =", {keyed(u"key", {})}},
        {u"key = ; nothing", {keyed(u"key", {})}},
        {u"key = \"\"", {keyed(u"key", {u""})}},
        {u"= value", {keyed(u"", {u"value"})}},
        {u"\"quoted key\" = v", {keyed(u"quoted key", {u"v"})}},
        {u"a = b = c", {keyed(u"a", {u"b = c"})}},
        {u"a, b = c", {unkeyed({u"a", u"b = c"})}},
        {u"file.sys,,,2", {unkeyed({u"file.sys", u"", u"", u"2"})}},
        {u"just-a-value", {unkeyed({u"just-a-value"})}},
        {u",", {unkeyed({u"", u""})}},
        {u"\"\"", {unkeyed({u""})}},
        {u"key = C:\\dir\\file", {keyed(u"key", {u"C:\\dir\\file"})}},
        {u"CopyFiles = a,\\\n    b", {keyed(u"CopyFiles", {u"a", u"b"})}},
        {u"CopyFiles = a, \\  \r\n  b,\\\r\n  c", {keyed(u"CopyFiles", {u"a", u"b", u"c"})}},
        {u"k = one\\\ntwo", {keyed(u"k", {u"onetwo"})}},
        {u"k = a \\ ; a comment follows, so no continuation\nnext", {keyed(u"k", {u"a \\"}), unkeyed({u"next"})}},
        {u"k = \"in quotes \\\nnext\"", {keyed(u"k", {u"in quotes \\"}), unkeyed({u"next"})}},
        {u"k = \"open quote ; kept\nnext", {keyed(u"k", {u"open quote ; kept"}), unkeyed({u"next"})}},
        {u"k = last\\", {keyed(u"k", {u"last"})}},
        {u"\n   \n; comment only\n  ;indented\n", {}},
        {u"a = 1\rb = 2\r\nc = 3", {keyed(u"a", {u"1"}), keyed(u"b", {u"2"}), keyed(u"c", {u"3"})}},
        {u"%Desc% = Install, PCI\\VEN_1D7A", {keyed(u"Fast Adapter, Model 2", {u"Install", u"PCI\\VEN_1D7A"})}},
        {u"k = \"%Desc%\" (%desc%)", {keyed(u"k", {u"Fast Adapter, Model 2 (Fast Adapter, Model 2)"})}},
        {u"k = %Unknown%, %10%\\drivers, 100%%, %%a%%, 5%",
         {keyed(u"k", {u"%Unknown%", u"%10%\\drivers", u"100%", u"%a%", u"5%"})}},
        {u"k = %Empty%x, %Spaced%", {keyed(u"k", {u"x", u"  padded  "})}},
    };
    for (const auto& c : cases) {
        std::u16string text = u"[Strings]\nDesc = \"Fast Adapter, Model 2\"\nEmpty =\nSpaced = \"  padded  \"\n[S]\n";
        text += c.body;
        const InfFile inf = InfFile::parse(text);
        const auto* lines = inf.section(u"S");
        ASSERT_NE(lines, nullptr);
        EXPECT_EQ(*lines, c.expected) << utf16ToUtf8(c.body) << "\n  got: " << describe(*lines);
    }
}

TEST(InfFile, FieldNumberingFollowsSetupApi) {
    const InfFile inf = InfFile::parse(u"[S]\nkey = a, b\nx, y\n");
    const auto& lines = *inf.section(u"S");
    EXPECT_EQ(lines[0].field(0), u"key");
    EXPECT_EQ(lines[0].field(1), u"a");
    EXPECT_EQ(lines[0].field(2), u"b");
    EXPECT_EQ(lines[0].field(3), std::nullopt);
    EXPECT_EQ(lines[0].fieldCount(), 2u);
    EXPECT_EQ(lines[1].field(0), u"x");  // no key: field 0 repeats the first value
    EXPECT_EQ(lines[1].field(1), u"x");
    EXPECT_EQ(lines[1].field(2), u"y");
    EXPECT_EQ(lines[1].fieldCount(), 2u);
    EXPECT_EQ((InfLine{u"k", {}}).field(1), std::nullopt);
    EXPECT_EQ((InfLine{std::nullopt, {}}).field(0), std::nullopt);
}

TEST(InfFile, SectionsMergeCaseInsensitivelyAndKeepFirstSpelling) {
    const InfFile inf = InfFile::parse(
        u"orphan = before any section\n"
        u"[Version]\n"
        u"Signature = \"$Windows NT$\"\n"
        u"[  Install.NT  ] ; trailing comment\n"
        u"AddReg = a\n"
        u"[VERSION]\n"
        u"Class = Net\n"
        u"[install.nt]\n"
        u"AddReg = b\n"
        u"[Empty]\n");
    EXPECT_EQ(inf.sectionNames(), (Fields{u"Version", u"Install.NT", u"Empty"}));
    const auto* version = inf.section(u"version");
    ASSERT_NE(version, nullptr);
    ASSERT_EQ(version->size(), 2u);
    EXPECT_EQ((*version)[0].field(1), u"$Windows NT$");
    EXPECT_EQ((*version)[1].field(1), u"Net");
    EXPECT_EQ(inf.section(u"Install.NT")->size(), 2u);
    ASSERT_NE(inf.section(u"EMPTY"), nullptr);
    EXPECT_TRUE(inf.section(u"Empty")->empty());
    EXPECT_EQ(inf.section(u"Missing"), nullptr);
    EXPECT_EQ(inf.section(u"Install"), nullptr);
    EXPECT_EQ(inf.findLine(u"INSTALL.NT", u"addreg")->field(1), u"a");  // first match
    EXPECT_EQ(inf.findLine(u"Version", u"Provider"), nullptr);
    EXPECT_EQ(inf.findLine(u"Missing", u"Class"), nullptr);
}

TEST(InfFile, StringsSectionIsTheDictionaryAndStaysAsWritten) {
    const InfFile inf = InfFile::parse(
        u"[Manufacturer]\n"
        u"%MFG% = Models\n"
        u"[strings]\n"
        u"MFG = \"First\"\n"
        u"Ref = %MFG%\n"
        u"mfg = \"Second\"\n");
    EXPECT_EQ(inf.section(u"Manufacturer")->front().key, u"First");  // first definition wins
    EXPECT_EQ(inf.findLine(u"Strings", u"Ref")->field(1), u"%MFG%");
}

TEST(InfFile, BytesAreDecodedByByteOrderMark) {
    struct Case {
        std::vector<uint8_t> bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        // UTF-16LE with BOM
        {{0xFF, 0xFE, '[', 0, 'S', 0, ']', 0, '\n', 0, 'k', 0, '=', 0, 0xE9, 0, 0xAC, 0x20}, u"\u00E9\u20AC"},
        // UTF-8 with BOM
        {{0xEF, 0xBB, 0xBF, '[', 'S', ']', '\n', 'k', '=', 0xC3, 0xA9, 0xE2, 0x82, 0xAC}, u"\u00E9\u20AC"},
        // no BOM: 8-bit ANSI, so 0x80 is the euro sign and UTF-8 bytes are two characters
        {{'[', 'S', ']', '\n', 'k', '=', 0xE9, 0x80}, u"\u00E9\u20AC"},
        {{'[', 'S', ']', '\n', 'k', '=', 0xC3, 0xA9}, u"\u00C3\u00A9"},
    };
    for (const auto& c : cases) {
        const InfFile inf = InfFile::parseBytes(c.bytes);
        const InfLine* line = inf.findLine(u"S", u"k");
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->field(1), c.expected) << utf16ToUtf8(c.expected);
    }
    EXPECT_TRUE(InfFile::parseBytes({}).sectionNames().empty());
}

}  // namespace
}  // namespace kv::sim
