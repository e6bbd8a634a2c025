#include "kv/sim/reg_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "kv/sim/atomic_file.h"
#include "kv/text.h"

namespace kv::sim {
namespace {

std::vector<uint8_t> utf8Bytes(std::string_view s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> utf16Bytes(std::u16string_view s, bool bom = true) {
    std::vector<uint8_t> out;
    if (bom) out = {0xFF, 0xFE};
    for (char16_t c : s) {
        out.push_back(uint8_t(c & 0xFF));
        out.push_back(uint8_t(c >> 8));
    }
    return out;
}

std::string asText(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

RegistryTree parseText(std::string_view text, std::vector<std::string>* warnings = nullptr) {
    return parseRegFile(utf8Bytes(text), warnings);
}

const RegValue* value(const RegistryTree& tree, std::u16string_view key, std::u16string_view name) {
    const RegistryKey* k = tree.find(key);
    return k ? k->findValue(name) : nullptr;
}

std::vector<RegValue> everyValueType() {
    std::vector<uint8_t> longBlob(300);
    for (size_t i = 0; i < longBlob.size(); ++i) longBlob[i] = uint8_t(i * 7);
    return {
        RegValue::string(u"", u"default value"),
        RegValue::string(u"Plain", u"plain text \u00e9\u20AC \U0001F600"),
        RegValue::string(u"Quotes \"and\" \\slashes\\", u"C:\\Path\\\"quoted\""),
        RegValue::string(u"Empty", u""),
        RegValue::string(u"Expand", u"%SystemRoot%\\system32", kRegExpandSz),
        RegValue::dword(u"Dword", 0xDEADBEEF),
        RegValue::dword(u"Zero", 0),
        RegValue::qword(u"Qword", 0x0123456789ABCDEFull),
        RegValue::binary(u"Binary", {0x00, 0xFF, 0x10}),
        RegValue::binary(u"EmptyBinary", {}),
        RegValue::binary(u"LongBinary", longBlob),
        RegValue::multiString(u"Multi", {u"one", u"two \u00e9", u"three"}),
        RegValue::multiString(u"EmptyMulti", {}),
        RegValue{u"None", kRegNone, {}},
        RegValue{u"NoneWithData", kRegNone, {1, 2}},
        RegValue{u"Custom", 0xFFFF0011, {9}},
        // REG_SZ data that only the hex(1) form can carry exactly.
        RegValue{u"Unterminated", kRegSz, {'a', 0}},
        RegValue{u"EmbeddedNul", kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}},
        RegValue{u"OddLength", kRegSz, {'a', 0, 0}},
        RegValue::string(u"LineBreak", u"two\r\nlines"),
        RegValue{u"ShortDword", kRegDword, {1, 2}},
        RegValue{u"EmptySz", kRegSz, {}},
    };
}

TEST(RegFile, EveryValueTypeRoundTripsInBothEncodings) {
    RegistryTree tree;
    RegistryKey* key = tree.create(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Values");
    for (auto& v : everyValueType()) key->setValue(v);
    tree.create(u"HKCU\\Software\\Empty Key");
    tree.create(u"HKCR\\.nic [brackets]");

    for (const auto encoding : {RegFileEncoding::Utf8, RegFileEncoding::Utf16le}) {
        const auto bytes = writeRegFile(tree, encoding);
        EXPECT_EQ(detectRegFileEncoding(bytes), encoding);
        std::vector<std::string> warnings;
        const RegistryTree back = parseRegFile(bytes, &warnings);
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        const RegistryKey* readKey = back.find(u"HKLM\\SOFTWARE\\Vendor\\Values");
        ASSERT_NE(readKey, nullptr);
        ASSERT_EQ(readKey->values().size(), key->values().size());
        for (size_t i = 0; i < key->values().size(); ++i) {
            EXPECT_EQ(readKey->values()[i], key->values()[i]) << utf16ToUtf8(key->values()[i].name);
        }
        EXPECT_NE(back.find(u"HKCU\\Software\\Empty Key"), nullptr);
        EXPECT_NE(back.find(u"HKCR\\.nic [brackets]"), nullptr);
        EXPECT_EQ(writeRegFile(back, encoding), bytes);
    }
}

TEST(RegFile, WritesKnownTreeExactly) {
    RegistryTree tree;
    RegistryKey* k = tree.create(u"HKLM\\SYSTEM\\Net");
    k->setValue(RegValue::string(u"Path", u"C:\\x \"y\""));
    k->setValue(RegValue::string(u"", u"default"));  // written where it was added
    k->setValue(RegValue::dword(u"Speed", 0x3E8));
    std::vector<uint8_t> blob(30);
    for (size_t i = 0; i < blob.size(); ++i) blob[i] = uint8_t(i);
    k->setValue(RegValue::binary(u"Blob", blob));
    k->setValue(RegValue::qword(u"Q", 1));
    k->setValue(RegValue::string(u"E", u"%A%", kRegExpandSz));
    k->setValue(RegValue::multiString(u"M", {u"a"}));
    k->setValue(RegValue{u"T", 0x20, {0xAB}});
    tree.create(u"HKLM\\SYSTEM\\Net\\Child");
    tree.create(u"HKCU\\Z");

    const std::string expected =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE]\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM]\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\Net]\r\n"
        "\"Path\"=\"C:\\\\x \\\"y\\\"\"\r\n"
        "@=\"default\"\r\n"
        "\"Speed\"=dword:000003e8\r\n"
        "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
        "  16,17,18,19,1a,1b,1c,1d\r\n"
        "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
        "\"E\"=hex(2):25,00,41,00,25,00,00,00\r\n"
        "\"M\"=hex(7):61,00,00,00,00,00\r\n"
        "\"T\"=hex(20):ab\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\Net\\Child]\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER]\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Z]\r\n"
        "\r\n";
    EXPECT_EQ(asText(writeRegFile(tree, RegFileEncoding::Utf8)), expected);
    EXPECT_EQ(writeRegFile(tree, RegFileEncoding::Utf16le), utf16Bytes(utf8ToUtf16(expected)));
    EXPECT_EQ(asText(writeRegFile(RegistryTree(), RegFileEncoding::Utf8)),
              "Windows Registry Editor Version 5.00\r\n\r\n");
}

TEST(RegFile, LongHexListsWrapWithinEightyColumns) {
    RegistryTree tree;
    tree.create(u"HKLM\\K")->setValue(RegValue::binary(u"Blob", std::vector<uint8_t>(1000, 0xAB)));
    tree.create(u"HKLM\\K")->setValue(RegValue::binary(std::u16string(90, u'n'), std::vector<uint8_t>(40, 1)));
    std::istringstream lines(asText(writeRegFile(tree, RegFileEncoding::Utf8)));
    size_t continuations = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  ", 0) == 0) {
            ++continuations;
            EXPECT_LE(line.size(), 80u) << line;  // includes the \r
        }
    }
    EXPECT_GT(continuations, 39u);
}

TEST(RegFile, ParsesHandWrittenForms) {
    std::vector<std::string> warnings;
    const RegistryTree tree = parseText(
        "\xEF\xBB\xBF\n"
        "Windows Registry Editor Version 5.00\n"
        "; adapters of the lab machine\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\Net]\n"
        "\"Name\" = \"Port \\\"A\\\"\"   ; trailing comment\n"
        "\"Speed\"=DWORD:3E8\n"
        "\"Mac\"=hex:00,1B, 21 ,a,\\\n"
        "    FF,\\\n"
        "\t  ee\n"
        "\"Trail\"=hex:01,02,\n"
        "\"Qw\"=HEX(B):01,00,00,00,00,00,00,00\n"
        "@=\"d\"\n"
        "\"@\"=\"at\"\n"
        "[HKLM\\SYSTEM\\Net\\Sub]\n"
        "\"Path\"=\"C:\\Windows\"\n",
        &warnings);
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net", u"name")->asString(), u"Port \"A\"");
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net", u"Speed")->asDword(), 1000u);
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net", u"Mac")->data,
              (std::vector<uint8_t>{0x00, 0x1B, 0x21, 0x0A, 0xFF, 0xEE}));
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net", u"Trail")->data, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net", u"Qw")->type, uint32_t{kRegQword});
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net", u"")->asString(), u"d");
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net", u"@")->asString(), u"at");
    // An unknown escape is kept as written, with a warning so the author can double the backslash.
    EXPECT_EQ(value(tree, u"HKLM\\SYSTEM\\Net\\Sub", u"Path")->asString(), u"C:\\Windows");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("line 15: ", 0), 0u) << warnings[0];
}

TEST(RegFile, DeletionFormsRemoveKeysAndValues) {
    RegistryTree tree = parseText(
        "Windows Registry Editor Version 5.00\r\n"
        "[HKLM\\A\\B\\C]\r\n"
        "[HKLM\\A\\D]\r\n"
        "\"keep\"=dword:1\r\n"
        "\"drop\"=dword:2\r\n"
        "@=\"x\"\r\n");
    std::vector<std::string> warnings;
    applyRegFile(tree,
                 utf8Bytes("Windows Registry Editor Version 5.00\r\n"
                           "[-HKEY_LOCAL_MACHINE\\A\\B]\r\n"
                           "\"orphan\"=dword:1\r\n"  // no key is open after a deletion
                           "[-HKLM\\Not\\There]\r\n"
                           "[HKLM\\A\\D]\r\n"
                           "\"DROP\"=-\r\n"
                           "@=-\r\n"
                           "\"absent\"=-\r\n"
                           "[HKLM\\A\\New]\r\n"),
                 &warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(tree.find(u"HKLM\\A\\B"), nullptr);
    const RegistryKey* d = tree.find(u"HKLM\\A\\D");
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->values().size(), 1u);
    EXPECT_EQ(d->values()[0].name, u"keep");
    EXPECT_NE(tree.find(u"HKLM\\A\\New"), nullptr);
    EXPECT_EQ(tree.find(u"HKLM\\A")->subkeys().size(), 2u);
}

TEST(RegFile, MalformedLinesAreSkippedWithWarnings) {
    struct Case {
        const char* line;
        const char* problem;
    };
    const Case cases[] = {
        {"\"a\"=dword:123456789", "dword"},
        {"\"a\"=dword:12xz", "dword"},
        {"\"a\"=dword:", "dword"},
        {"\"a\"=hex:1,,2", "empty byte"},
        {"\"a\"=hex:123", "not a hex byte"},
        {"\"a\"=hex:zz", "not a hex byte"},
        {"\"a\"=hex(x):00", "hex(N)"},
        {"\"a\"=hex(7:00", "hex(N)"},
        {"\"a\"=hex 00", "':'"},
        {"\"a\"=\"unterminated", "no closing quote"},
        {"\"a\"=\"x\" y", "after the closing quote"},
        {"\"a\"", "'='"},
        {"\"a = \"b\"", "'='"},
        {"\"unterminated=1", "no closing quote"},
        {"\"a\"=", "unrecognised value data"},
        {"\"a\"=string", "unrecognised value data"},
        {"a=\"b\"", "not a [key]"},
        {"[HKLM\\Open", "no closing ']'"},
        {"[HKEY_LOCAL\\x]", "not a valid key path"},
        {"[HKLM\\\\x]", "not a valid key path"},
        {"[-HKLM]", "cannot be deleted"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> warnings;
        const std::string text =
            std::string("Windows Registry Editor Version 5.00\n\n[HKLM\\K]\n\"before\"=dword:1\n") + c.line +
            "\n[HKLM\\K]\n\"after\"=dword:2\n";
        const RegistryTree tree = parseText(text, &warnings);
        ASSERT_EQ(warnings.size(), 1u) << c.line;
        EXPECT_EQ(warnings[0].rfind("line 5: ", 0), 0u) << warnings[0];
        EXPECT_NE(warnings[0].find(c.problem), std::string::npos) << warnings[0];
        EXPECT_EQ(value(tree, u"HKLM\\K", u"a"), nullptr) << c.line;
        EXPECT_NE(value(tree, u"HKLM\\K", u"before"), nullptr) << c.line;
        EXPECT_NE(value(tree, u"HKLM\\K", u"after"), nullptr) << c.line;
    }
}

TEST(RegFile, ValuesUnderABadKeyLineAreDroppedNotMisfiled) {
    std::vector<std::string> warnings;
    const RegistryTree tree = parseText(
        "Windows Registry Editor Version 5.00\n"
        "\"early\"=dword:1\n"
        "[HKLM\\Good]\n"
        "[HKLM\\Typo\n"
        "\"v\"=dword:1\n",
        &warnings);
    EXPECT_TRUE(tree.find(u"HKLM\\Good")->values().empty());
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("line 2: value before the first [key]"), std::string::npos);
    EXPECT_NE(warnings[1].find("line 4: "), std::string::npos);
}

TEST(RegFile, StrayContinuationDoesNotSwallowTheNextLine) {
    std::vector<std::string> warnings;
    const RegistryTree tree = parseText(
        "Windows Registry Editor Version 5.00\n"
        "[HKLM\\K]\n"
        "\"a\"=hex:01,02,\\\n"
        "\"b\"=dword:5\n"
        "\"c\"=hex:03,\\\n",
        &warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(value(tree, u"HKLM\\K", u"a")->data, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(value(tree, u"HKLM\\K", u"b")->asDword(), 5u);
    EXPECT_EQ(value(tree, u"HKLM\\K", u"c")->data, (std::vector<uint8_t>{3}));
}

TEST(RegFile, HeaderMustComeFirst) {
    struct Case {
        std::string text;
        size_t line;
    };
    const Case cases[] = {
        {"", 1},
        {"\n  \n", 1},
        {"\n\nWindows Registry Editor Version 4.00\n", 3},
        {"; comment\nWindows Registry Editor Version 5.00\n", 1},
        {"[HKLM\\A]\n", 1},
        {"Windows Registry Editor\n", 1},
    };
    for (const auto& c : cases) {
        RegistryTree tree;
        try {
            applyRegFile(tree, utf8Bytes(c.text));
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const RegFileError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text;
            EXPECT_EQ(std::string(e.what()).rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << e.what();
        }
    }
    EXPECT_NO_THROW(parseText("\r\n  windows registry editor version 5.00  \r\n"));
}

TEST(RegFile, Utf16InputWithAndWithoutBom) {
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n\"s\"=\"\u00e9\u4e2d\"\r\n";
    for (const bool bom : {true, false}) {
        const auto bytes = utf16Bytes(text, bom);
        EXPECT_EQ(detectRegFileEncoding(bytes), RegFileEncoding::Utf16le);
        EXPECT_EQ(value(parseRegFile(bytes), u"HKLM\\K", u"s")->asString(), u"\u00e9\u4e2d");
    }
    EXPECT_EQ(detectRegFileEncoding(utf8Bytes("Windows")), RegFileEncoding::Utf8);
    EXPECT_EQ(detectRegFileEncoding({}), RegFileEncoding::Utf8);
}

TEST(RegFile, Regedit4TextAndStringDataAreAnsi) {
    // 0xE9 is é and 0x80 is € in the ANSI code page; hex(2) data holds 8-bit characters.
    const RegistryTree tree = parseText(
        "REGEDIT4\r\n\r\n"
        "[HKLM\\K]\r\n"
        "\"caf\xE9\"=\"\x80 5\"\r\n"
        "\"e\"=hex(2):25,41,25,00\r\n"
        "\"m\"=hex(7):61,00,62,00,00\r\n"
        "\"b\"=hex:e9\r\n");
    EXPECT_EQ(value(tree, u"HKLM\\K", u"caf\u00e9")->asString(), u"\u20AC 5");
    EXPECT_EQ(*value(tree, u"HKLM\\K", u"e"), RegValue::string(u"e", u"%A%", kRegExpandSz));
    EXPECT_EQ(value(tree, u"HKLM\\K", u"m")->asMultiString(), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(value(tree, u"HKLM\\K", u"b")->data, (std::vector<uint8_t>{0xE9}));  // binary stays raw
}

TEST(RegFile, ImportMergesOntoExistingTree) {
    RegistryTree tree;
    RegistryKey* k = tree.create(u"HKLM\\K");
    k->setValue(RegValue::dword(u"first", 1));
    k->setValue(RegValue::dword(u"second", 2));
    applyRegFile(
        tree,
        utf8Bytes("Windows Registry Editor Version 5.00\n[hklm\\k]\n\"FIRST\"=\"now a string\"\n\"third\"=dword:3\n"));
    ASSERT_EQ(k->values().size(), 3u);
    EXPECT_EQ(k->values()[0].name, u"first");
    EXPECT_EQ(k->values()[0].asString(), u"now a string");
    EXPECT_EQ(k->values()[2].name, u"third");
    EXPECT_EQ(tree.find(u"HKLM\\K"), k);

    RegistryTree before = tree;
    EXPECT_THROW(applyRegFile(tree, utf8Bytes("[HKLM\\K]\n\"x\"=dword:1\n")), RegFileError);
    EXPECT_EQ(writeRegFile(tree, RegFileEncoding::Utf8), writeRegFile(before, RegFileEncoding::Utf8));
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("kv_atomic_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    static std::string read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path dir_;
};

TEST_F(AtomicFileTest, ReplacesContentsAndLeavesNoTemporary) {
    const auto path = dir_ / "registry.reg";
    ASSERT_FALSE(writeFileAtomically(path, utf8Bytes("first, longer contents")));
    ASSERT_FALSE(writeFileAtomically(path, utf8Bytes("second")));
    EXPECT_EQ(read(path), "second");
    ASSERT_FALSE(writeFileAtomically(path, {}));
    EXPECT_EQ(read(path), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, FailureLeavesTargetUntouchedAndNoTemporary) {
    EXPECT_TRUE(writeFileAtomically(dir_ / "missing" / "registry.reg", utf8Bytes("x")));
    // A directory in the way of the rename: the old target survives and the temporary is cleaned up.
    const auto target = dir_ / "busy";
    std::filesystem::create_directories(target / "inside");
    EXPECT_TRUE(writeFileAtomically(target, utf8Bytes("x")));
    EXPECT_TRUE(std::filesystem::is_directory(target / "inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, StrayTemporariesOfKilledWritersAreRemovedAndNothingElse) {
    for (const char* name : {"registry.reg.4711-0.tmp", "registry.reg.tmp", "registry.reg", "machine.json.1-2.tmp"})
        std::ofstream(dir_ / name) << "x";
    removeStrayTemporaries(dir_ / "registry.reg");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"machine.json.1-2.tmp", "registry.reg"}));
}

}  // namespace
}  // namespace kv::sim
