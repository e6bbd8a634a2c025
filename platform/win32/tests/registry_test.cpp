// The registry on the real system, under a key of the current user that the tests remove again.
#include "kv/platform/registry.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "win32_test_support.h"

namespace kv::test {
namespace {

using namespace platform;

std::vector<uint8_t> utf16z(std::u16string_view text) {
    std::vector<uint8_t> out;
    for (char16_t c : text) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
    }
    out.insert(out.end(), {0, 0});
    return out;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = u"Software\\Kelvadiag backend tests " + utf8ToUtf16(std::to_string(GetCurrentProcessId()));
        ASSERT_EQ(registry().createKey(hiveKey(Hive::CurrentUser), path_, regaccess::kAllAccess, key_.receive()),
                  err::kSuccess);
    }

    void TearDown() override {
        key_.reset();
        EXPECT_EQ(deleteTree(hiveKey(Hive::CurrentUser), path_), err::kSuccess);
    }

    // The key deletion of the interface removes leaves only.
    static uint32_t deleteTree(RegKeyHandle parent, const std::u16string& name) {
        {
            RegKey key;
            if (uint32_t e = registry().openKey(parent, name, regaccess::kAllAccess, key.receive())) return e;
            std::u16string sub;
            while (registry().enumKey(key.get(), 0, &sub) == err::kSuccess)
                if (deleteTree(key.get(), sub) != err::kSuccess) break;
        }
        return registry().deleteKey(parent, name);
    }

    std::u16string path_;
    RegKey key_;
};

TEST_F(RegistryTest, ValuesRoundTripWithTheirTypesAndSizes) {
    const auto text = utf16z(u"Tavrick 4450");
    const uint32_t dword = 0x1D7A4450;
    const std::vector<uint8_t> binary{0x00, 0x1D, 0x7A, 0x44, 0x50, 0x01};
    auto& r = registry();
    ASSERT_EQ(r.setValue(key_.get(), u"DriverDesc", regtype::kSz, text.data(), uint32_t(text.size())), 0u);
    ASSERT_EQ(r.setValue(key_.get(), u"Speed", regtype::kDword, &dword, 4), 0u);
    ASSERT_EQ(r.setValue(key_.get(), u"Mac", regtype::kBinary, binary.data(), uint32_t(binary.size())), 0u);

    // The size alone, a capacity too small, and an exact one.
    uint32_t type = 0;
    uint32_t bytes = 0;
    EXPECT_EQ(r.queryValue(key_.get(), u"DriverDesc", &type, nullptr, &bytes), err::kSuccess);
    EXPECT_EQ(type, regtype::kSz);
    EXPECT_EQ(bytes, text.size());
    std::vector<uint8_t> data(text.size());
    bytes = uint32_t(text.size() - 2);
    EXPECT_EQ(r.queryValue(key_.get(), u"DriverDesc", &type, data.data(), &bytes), err::kMoreData);
    EXPECT_EQ(bytes, text.size());
    EXPECT_EQ(r.queryValue(key_.get(), u"DriverDesc", &type, data.data(), &bytes), err::kSuccess);
    EXPECT_EQ(data, text);

    uint32_t readBack = 0;
    bytes = 4;
    EXPECT_EQ(r.queryValue(key_.get(), u"Speed", &type, &readBack, &bytes), err::kSuccess);
    EXPECT_EQ(type, regtype::kDword);
    EXPECT_EQ(readBack, dword);

    std::map<std::u16string, std::pair<uint32_t, std::vector<uint8_t>>> listed;
    std::u16string name;
    std::vector<uint8_t> value;
    for (uint32_t i = 0; r.enumValue(key_.get(), i, &name, &type, &value) == err::kSuccess; ++i)
        listed[name] = {type, value};
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[u"Mac"], std::make_pair(regtype::kBinary, binary));
    EXPECT_EQ(listed[u"DriverDesc"].second, text);
    EXPECT_EQ(r.enumValue(key_.get(), 3, &name, &type, &value), err::kNoMoreItems);

    EXPECT_EQ(r.deleteValue(key_.get(), u"Speed"), err::kSuccess);
    EXPECT_EQ(r.deleteValue(key_.get(), u"Speed"), err::kFileNotFound);
    EXPECT_EQ(r.queryValue(key_.get(), u"Speed", &type, nullptr, &bytes), err::kFileNotFound);
}

TEST_F(RegistryTest, AnsiFormsConvertStringDataToAndFromUtf16) {
    auto& r = registry();
    const std::string ansi = "Local Area Connection";
    ASSERT_EQ(r.setValueA(key_.get(), "name", regtype::kSz, ansi.c_str(), uint32_t(ansi.size() + 1)), 0u);
    std::vector<uint8_t> wide(128);
    uint32_t bytes = uint32_t(wide.size());
    uint32_t type = 0;
    ASSERT_EQ(r.queryValue(key_.get(), u"name", &type, wide.data(), &bytes), err::kSuccess);
    wide.resize(bytes);
    EXPECT_EQ(wide, utf16z(u"Local Area Connection"));

    const auto text = utf16z(u"Tavrick");
    ASSERT_EQ(r.setValue(key_.get(), u"ProviderName", regtype::kSz, text.data(), uint32_t(text.size())), 0u);
    char narrow[32] = {};
    bytes = sizeof narrow;
    ASSERT_EQ(r.queryValueA(key_.get(), "ProviderName", &type, narrow, &bytes), err::kSuccess);
    EXPECT_EQ(bytes, 8u);
    EXPECT_STREQ(narrow, "Tavrick");

    std::string name;
    std::vector<uint8_t> data;
    std::map<std::string, std::vector<uint8_t>> listed;
    for (uint32_t i = 0; r.enumValueA(key_.get(), i, &name, &type, &data) == err::kSuccess; ++i) listed[name] = data;
    EXPECT_EQ(listed["ProviderName"], (std::vector<uint8_t>{'T', 'a', 'v', 'r', 'i', 'c', 'k', 0}));
    EXPECT_EQ(r.deleteValueA(key_.get(), "name"), err::kSuccess);
}

TEST_F(RegistryTest, SubkeysAreCreatedListedOpenedAndDeleted) {
    auto& r = registry();
    RegKey params;
    ASSERT_EQ(r.createKey(key_.get(), u"Ndi\\params", regaccess::kAllAccess, params.receive()), err::kSuccess);
    RegKey other;
    ASSERT_EQ(r.createKeyA(key_.get(), "Linkage", regaccess::kAllAccess, other.receive()), err::kSuccess);

    std::vector<std::u16string> names;
    std::u16string name;
    for (uint32_t i = 0; r.enumKey(key_.get(), i, &name) == err::kSuccess; ++i) names.push_back(name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Linkage", u"Ndi"}));
    std::string narrow;
    EXPECT_EQ(r.enumKeyA(key_.get(), 2, &narrow), err::kNoMoreItems);

    RegKey opened;
    EXPECT_EQ(r.openKey(key_.get(), u"NDI\\Params", regaccess::kRead, opened.receive()), err::kSuccess);
    EXPECT_EQ(r.openKeyA(key_.get(), "Ndi\\missing", regaccess::kRead, opened.receive()), err::kFileNotFound);
    // A key with subkeys is not deleted; its leaves are.
    EXPECT_NE(r.deleteKey(key_.get(), u"Ndi"), err::kSuccess);
    EXPECT_EQ(r.deleteKey(key_.get(), u"Ndi\\params"), err::kSuccess);
}

// The interface's root keys carry the 32-bit values; in a 64-bit process Windows' own are
// sign-extended, and both forms must reach the same key.
TEST_F(RegistryTest, RootKeysWorkInBothWidths) {
    auto& r = registry();
    for (RegKeyHandle root : {hiveKey(Hive::CurrentUser), static_cast<RegKeyHandle>(HKEY_CURRENT_USER)}) {
        RegKey key;
        EXPECT_EQ(r.openKey(root, path_, regaccess::kRead, key.receive()), err::kSuccess);
    }
}

}  // namespace
}  // namespace kv::test
