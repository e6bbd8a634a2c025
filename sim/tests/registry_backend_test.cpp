// The simulated registry as the suite sees it through the platform interface: byte capacities,
// access rights, the ANSI forms, and registry.reg written back after a change.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "kv/platform/registry.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim {
namespace {

namespace p = kv::platform;
using testing::MachineBuilder;

constexpr char kKeys[] =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
    "\"Name\"=\"Local Area Connection\"\r\n"
    "\"Count\"=dword:0000002a\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Sub]\r\n";

class RegistryBackendTest : public ::testing::Test {
protected:
    void SetUp() override { MachineBuilder().registry(kKeys).install(); }
    p::Registry& reg = p::registry();
};

TEST_F(RegistryBackendTest, QueryHonoursTheCallersByteCapacity) {
    p::RegKey key;
    ASSERT_EQ(reg.openKey(p::hiveKey(p::Hive::LocalMachine), u"software\\test", p::regaccess::kRead, key.receive()), 0u);
    // 21 characters and the terminator: 44 bytes.
    struct Case {
        uint32_t capacity;
        uint32_t result;
        uint32_t sizeOut;
    } cases[] = {{44, 0, 44}, {100, 0, 44}, {43, p::err::kMoreData, 44}, {0, p::err::kMoreData, 44}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        std::vector<uint8_t> buffer(100, 0xEE);
        uint32_t bytes = c.capacity;
        uint32_t type = 0;
        EXPECT_EQ(reg.queryValue(key.get(), u"NAME", &type, buffer.data(), &bytes), c.result);
        EXPECT_EQ(bytes, c.sizeOut);
        EXPECT_EQ(type, p::regtype::kSz);
        if (c.result != 0) {
            EXPECT_EQ(buffer[0], 0xEE) << "nothing written on failure";
        }
    }
    uint32_t bytes = 0;
    EXPECT_EQ(reg.queryValue(key.get(), u"Name", nullptr, nullptr, &bytes), 0u);
    EXPECT_EQ(bytes, 44u);
    EXPECT_EQ(reg.queryValue(key.get(), u"Missing", nullptr, nullptr, &bytes), p::err::kFileNotFound);
}

TEST_F(RegistryBackendTest, AccessRightsOfTheOpenKeyAreEnforced) {
    p::RegKey readOnly, writeOnly;
    ASSERT_EQ(reg.openKey(p::hiveKey(p::Hive::LocalMachine), u"SOFTWARE\\Test", p::regaccess::kRead,
                          readOnly.receive()),
              0u);
    ASSERT_EQ(reg.openKey(p::hiveKey(p::Hive::LocalMachine), u"SOFTWARE\\Test", p::regaccess::kWrite,
                          writeOnly.receive()),
              0u);
    const uint32_t v = 7;
    EXPECT_EQ(reg.setValue(readOnly.get(), u"Count", p::regtype::kDword, &v, 4), p::err::kAccessDenied);
    EXPECT_EQ(reg.setValue(writeOnly.get(), u"Count", p::regtype::kDword, &v, 4), 0u);
    uint32_t bytes = 4, out = 0;
    EXPECT_EQ(reg.queryValue(writeOnly.get(), u"Count", nullptr, &out, &bytes), p::err::kAccessDenied);
    EXPECT_EQ(reg.queryValue(readOnly.get(), u"Count", nullptr, &out, &bytes), 0u);
    EXPECT_EQ(out, 7u);
}

TEST_F(RegistryBackendTest, AnsiFormsConvertStringsAndSizes) {
    p::RegKey key;
    ASSERT_EQ(reg.openKeyA(p::hiveKey(p::Hive::LocalMachine), "SOFTWARE\\Test", p::regaccess::kAllAccess,
                           key.receive()),
              0u);
    char text[64] = {};
    uint32_t bytes = sizeof text;
    ASSERT_EQ(reg.queryValueA(key.get(), "Name", nullptr, text, &bytes), 0u);
    EXPECT_STREQ(text, "Local Area Connection");
    EXPECT_EQ(bytes, 22u);
    const char value[] = "Caf\xE9";  // "Café" in the ANSI code page
    ASSERT_EQ(reg.setValueA(key.get(), "Other", p::regtype::kSz, value, sizeof value), 0u);
    char16_t wide[8] = {};
    bytes = sizeof wide;
    ASSERT_EQ(reg.queryValue(key.get(), u"Other", nullptr, wide, &bytes), 0u);
    EXPECT_EQ(std::u16string(wide), u"Caf\u00e9");
    std::string name;
    EXPECT_EQ(reg.enumKeyA(key.get(), 0, &name), 0u);
    EXPECT_EQ(name, "Sub");
    EXPECT_EQ(reg.enumKeyA(key.get(), 1, &name), p::err::kNoMoreItems);
}

TEST_F(RegistryBackendTest, MissingKeysAndLeafOnlyDeletion) {
    p::RegKey key;
    EXPECT_EQ(reg.openKey(p::hiveKey(p::Hive::LocalMachine), u"SOFTWARE\\Nope", p::regaccess::kRead, key.receive()),
              p::err::kFileNotFound);
    EXPECT_EQ(reg.deleteKey(p::hiveKey(p::Hive::LocalMachine), u"SOFTWARE\\Test"), p::err::kAccessDenied);
    EXPECT_EQ(reg.deleteKey(p::hiveKey(p::Hive::LocalMachine), u"SOFTWARE\\Test\\Sub"), 0u);
    EXPECT_EQ(reg.openKey(p::hiveKey(p::Hive::LocalMachine), u"SOFTWARE\\Test\\Sub", p::regaccess::kRead,
                          key.receive()),
              p::err::kFileNotFound);
}

TEST(RegistryPersistenceTest, ChangesAreWrittenBackToTheMachineDirectory) {
    const auto dir = std::filesystem::temp_directory_path() / "kv_registry_persistence";
    std::filesystem::remove_all(dir);
    MachineBuilder().registry(kKeys).writeDirectory(dir);
    Host::get().install(loadMachineDirectory(dir), SimClock::Mode::Virtual);
    p::RegKey key;
    ASSERT_EQ(p::registry().createKey(p::hiveKey(p::Hive::CurrentUser), u"SOFTWARE\\Kelvadiag",
                                      p::regaccess::kAllAccess, key.receive()),
              0u);
    const uint32_t one = 1;
    ASSERT_EQ(p::registry().setValue(key.get(), u"Tray", p::regtype::kDword, &one, 4), 0u);
    std::ifstream in(dir / "registry.reg", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("[HKEY_CURRENT_USER\\SOFTWARE\\Kelvadiag]\r\n\"Tray\"=dword:00000001"),
              std::string::npos);
    EXPECT_NE(text.str().find("\"Name\"=\"Local Area Connection\""), std::string::npos);
    // A fresh load sees the change.
    auto again = loadMachineDirectory(dir);
    EXPECT_NE(again->registry.find(u"HKEY_CURRENT_USER\\SOFTWARE\\Kelvadiag"), nullptr);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kv::sim
