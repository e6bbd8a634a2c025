#include "kv/sim/registry_tree.h"

#include <gtest/gtest.h>

#include "kv/text.h"

namespace kv::sim {
namespace {

std::string u8(std::u16string_view s) { return utf16ToUtf8(s); }

std::vector<std::u16string> subkeyNames(const RegistryKey& key) {
    std::vector<std::u16string> names;
    for (const auto& k : key.subkeys()) names.push_back(k->name());
    return names;
}

TEST(RegValue, HelpersStoreTheBytesWindowsStores) {
    struct Case {
        RegValue value;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {RegValue::string(u"s", u"Ab"), kRegSz, {'A', 0, 'b', 0, 0, 0}},
        {RegValue::string(u"s", u""), kRegSz, {0, 0}},
        {RegValue::string(u"e", u"%X%", kRegExpandSz), kRegExpandSz, {'%', 0, 'X', 0, '%', 0, 0, 0}},
        {RegValue::string(u"s", u"\u20AC"), kRegSz, {0xAC, 0x20, 0, 0}},
        {RegValue::dword(u"d", 0x12345678), kRegDword, {0x78, 0x56, 0x34, 0x12}},
        {RegValue::qword(u"q", 0x0102030405060708), kRegQword, {8, 7, 6, 5, 4, 3, 2, 1}},
        {RegValue::binary(u"b", {}), kRegBinary, {}},
        {RegValue::multiString(u"m", {u"a", u"bc"}), kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0}},
        {RegValue::multiString(u"m", {u"a", u"", u"b"}), kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {RegValue::multiString(u"m", {}), kRegMultiSz, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.type, c.type) << u8(c.value.name);
        EXPECT_EQ(c.value.data, c.data) << u8(c.value.name);
    }
}

TEST(RegValue, ReadersTolerateOddData) {
    EXPECT_EQ((RegValue{u"", kRegSz, {'a', 0, 0, 0, 'b', 0}}).asString(), u"a");  // stops at the first NUL
    EXPECT_EQ((RegValue{u"", kRegSz, {'a', 0, 'b'}}).asString(), u"a");           // odd byte ignored
    EXPECT_EQ((RegValue{u"", kRegSz, {'a', 0}}).asString(), u"a");                // no terminator
    EXPECT_EQ((RegValue{u"", kRegDword, {1, 2}}).asDword(), 0u);
    EXPECT_EQ((RegValue{u"", kRegBinary, {1, 0, 0, 0, 9}}).asDword(), 1u);
    EXPECT_EQ((RegValue{u"", kRegMultiSz, {'a', 0, 0, 0, 'b', 0}}).asMultiString(),
              (std::vector<std::u16string>{u"a", u"b"}));  // missing final NULs
    EXPECT_EQ((RegValue{u"", kRegMultiSz, {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0}}).asMultiString(),
              (std::vector<std::u16string>{u"a"}));  // an empty string ends the list
    EXPECT_EQ(RegValue::qword(u"", ~0ull).asQword(), ~0ull);
}

TEST(RegistryTree, PathsResolveCaseInsensitivelyAndRejectEmptyParts) {
    RegistryTree tree;
    RegistryKey* created = tree.create(u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services");
    ASSERT_NE(created, nullptr);
    struct Case {
        std::u16string_view path;
        bool found;
    };
    const Case cases[] = {
        {u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services", true},
        {u"hkey_local_machine\\system\\currentcontrolset\\SERVICES", true},
        {u"HKLM\\SYSTEM\\CurrentControlSet\\Services", true},
        {u"hklm\\SYSTEM\\CurrentControlSet\\Services\\", true},  // one trailing backslash is fine
        {u"HKLM\\SYSTEM\\CurrentControlSet\\Services\\\\", false},
        {u"HKLM\\SYSTEM\\\\CurrentControlSet\\Services", false},
        {u"\\HKLM\\SYSTEM\\CurrentControlSet\\Services", false},
        {u"HKCU\\SYSTEM\\CurrentControlSet\\Services", false},  // other root
        {u"HKLM\\SYSTEM\\CurrentControlSet\\Service", false},
        {u"HKEY_LOCAL\\SYSTEM", false},
        {u"", false},
        {u"\\", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tree.find(c.path) == created, c.found) << u8(c.path);
        EXPECT_EQ(std::as_const(tree).find(c.path) == created, c.found) << u8(c.path);
    }
    EXPECT_EQ(tree.find(u"HKLM"), tree.root(u"HKEY_LOCAL_MACHINE"));
    EXPECT_EQ(tree.find(u"hkcc\\"), tree.root(u"HKCC"));
    EXPECT_EQ(tree.root(u"HKEY_USERS")->name(), u"HKEY_USERS");
    EXPECT_EQ(tree.root(u"SYSTEM"), nullptr);
    EXPECT_EQ(tree.create(u"HKLM\\\\A"), nullptr);
    EXPECT_EQ(tree.create(u"NOPE\\A"), nullptr);
    EXPECT_EQ(RegistryTree::canonicalRootName(u"hkcr"), u"HKEY_CLASSES_ROOT");
    EXPECT_TRUE(RegistryTree::isValidPath(u"HKU\\.DEFAULT"));
    EXPECT_FALSE(RegistryTree::isValidPath(u"HKU\\\\x"));
    EXPECT_FALSE(RegistryTree::isValidPath(u"SOFTWARE\\x"));
}

TEST(RegistryTree, CreateKeepsOriginalSpellingAndReturnsExistingKeys) {
    RegistryTree tree;
    RegistryKey* a = tree.create(u"HKLM\\Software\\Vendor");
    RegistryKey* b = tree.create(u"HKLM\\SOFTWARE\\VENDOR\\");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->name(), u"Vendor");
    EXPECT_EQ(tree.find(u"HKLM")->subkeys().size(), 1u);
    EXPECT_EQ(tree.find(u"HKLM")->subkeys()[0]->name(), u"Software");
}

TEST(RegistryKey, EnumerationKeepsCreationOrderAndPointersStayValid) {
    RegistryKey key(u"Class");
    RegistryKey* first = &key.createSubkey(u"0000");
    first->setValue(RegValue::dword(u"x", 1));
    for (int i = 1; i < 500; ++i) {
        std::u16string name = u"0000";
        name[1] = char16_t(u'0' + i / 100), name[2] = char16_t(u'0' + i / 10 % 10), name[3] = char16_t(u'0' + i % 10);
        key.createSubkey(name);
    }
    key.createSubkey(u"Properties");
    key.createSubkey(u"ABC");
    EXPECT_EQ(first->name(), u"0000");
    EXPECT_EQ(first->findValue(u"X")->asDword(), 1u);
    const auto names = subkeyNames(key);
    ASSERT_EQ(names.size(), 502u);
    EXPECT_EQ(names[1], u"0001");
    EXPECT_EQ(names[499], u"0499");
    EXPECT_EQ(names[500], u"Properties");  // not sorted
    EXPECT_EQ(names[501], u"ABC");
}

TEST(RegistryKey, SetValueReplacesInPlaceByCaseInsensitiveName) {
    RegistryKey key(u"k");
    key.setValue(RegValue::string(u"DriverDesc", u"old"));
    key.setValue(RegValue::dword(u"Speed", 100));
    key.setValue(RegValue::string(u"", u"default"));
    key.setValue(RegValue::dword(u"DRIVERDESC", 7));
    ASSERT_EQ(key.values().size(), 3u);
    EXPECT_EQ(key.values()[0].name, u"DriverDesc");
    EXPECT_EQ(key.values()[0].type, kRegDword);
    EXPECT_EQ(key.findValue(u"driverdesc")->asDword(), 7u);
    EXPECT_EQ(key.findValue(u"")->asString(), u"default");
    EXPECT_EQ(key.findValue(u"Spee"), nullptr);

    EXPECT_TRUE(key.deleteValue(u"speed"));
    EXPECT_FALSE(key.deleteValue(u"speed"));
    ASSERT_EQ(key.values().size(), 2u);
    EXPECT_EQ(key.values()[1].name, u"");
}

TEST(RegistryKey, CaseFoldingIsAsciiOnly) {
    RegistryKey key(u"k");
    key.createSubkey(u"\u00C4rger");  // Ä
    key.setValue(RegValue::dword(u"\u00C9t\u00E9", 1));
    EXPECT_EQ(key.findSubkey(u"\u00E4rger"), nullptr);
    EXPECT_NE(key.findSubkey(u"\u00C4RGER"), nullptr);
    EXPECT_EQ(key.findValue(u"\u00E9t\u00E9"), nullptr);
}

TEST(RegistryTree, RemoveDeletesSubtreesButNotRoots) {
    RegistryTree tree;
    tree.create(u"HKLM\\A\\B\\C");
    tree.create(u"HKLM\\A\\D");
    EXPECT_TRUE(tree.remove(u"hklm\\a\\b"));
    EXPECT_EQ(tree.find(u"HKLM\\A\\B\\C"), nullptr);
    EXPECT_NE(tree.find(u"HKLM\\A\\D"), nullptr);
    EXPECT_FALSE(tree.remove(u"HKLM\\A\\B"));
    EXPECT_FALSE(tree.remove(u"HKLM\\X\\Y"));
    EXPECT_FALSE(tree.remove(u"HKLM"));
    EXPECT_FALSE(tree.remove(u"HKLM\\"));
    EXPECT_NE(tree.root(u"HKLM"), nullptr);
    EXPECT_TRUE(tree.remove(u"HKLM\\A\\"));
    EXPECT_TRUE(tree.find(u"HKLM")->subkeys().empty());
}

TEST(RegistryTree, CopiesAreDeep) {
    RegistryTree original;
    original.create(u"HKLM\\A")->setValue(RegValue::dword(u"v", 1));
    RegistryTree copy = original;
    copy.find(u"HKLM\\A")->setValue(RegValue::dword(u"v", 2));
    copy.create(u"HKLM\\A\\B");
    EXPECT_EQ(original.find(u"HKLM\\A")->findValue(u"v")->asDword(), 1u);
    EXPECT_EQ(original.find(u"HKLM\\A\\B"), nullptr);
    copy = original;
    EXPECT_EQ(copy.find(u"HKLM\\A")->findValue(u"v")->asDword(), 1u);
    EXPECT_NE(copy.find(u"HKLM\\A"), original.find(u"HKLM\\A"));
}

}  // namespace
}  // namespace kv::sim
