// The current adapter's TCP/IP interface settings: saved and restored exactly, malformed
// addresses refused, and the new address in the system's adapter table only after a restart.
#include <array>

#include "kv/sim/tcpip_interfaces.h"
#include "kv/sim/testing/write_faults.h"
#include "kv/text.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

struct Settings {
    int mode = -1;
    std::array<uint8_t, 4> address{}, mask{}, gateway{}, dns{};
    bool operator==(const Settings&) const = default;
};

class TcpipSettingsTest : public LibraryTest {
protected:
    static std::optional<Settings> read() {
        Settings s;
        if (!API_GetNicTcpipAddr(&s.mode, s.address.data(), s.mask.data(), s.gateway.data(), s.dns.data()))
            return std::nullopt;
        return s;
    }

    static const sim::RegistryKey* interfaceKey(size_t adapterIndex) {
        return sim::Host::get().machine().registry.find(std::u16string(sim::kTcpipInterfacesKeyPath) + u"\\" +
                                                        utf8ToUtf16(MachineBuilder::guidOf(adapterIndex)));
    }

    static std::array<uint8_t, 4> ip() {
        std::array<uint8_t, 4> out{};
        API_GetIPAddress(out.data());
        return out;
    }
};

TEST_F(TcpipSettingsTest, SettingsAreSavedAndRestoredExactly) {
    struct Case {
        const char* name;
        int mode;
        const char *address, *mask, *gateway, *dns;
        Settings expected;
    };
    const Case cases[] = {
        {"static with gateway and DNS",
         0,
         "192.168.12.1",
         "255.255.255.0",
         "192.168.12.254",
         "10.0.0.53",
         {0, {192, 168, 12, 1}, {255, 255, 255, 0}, {192, 168, 12, 254}, {10, 0, 0, 53}}},
        {"static without gateway or DNS",
         0,
         "192.168.12.2",
         "255.255.255.0",
         "",
         "",
         {0, {192, 168, 12, 2}, {255, 255, 255, 0}, {}, {}}},
        {"DHCP", 1, "0.0.0.0", "0.0.0.0", "", "", {1, {}, {}, {}, {}}},
    };
    machine.addAdapter().set("ip.address", Json("10.1.1.5")).set("ip.mask", Json("255.0.0.0"));
    start();
    const auto original = read();
    ASSERT_TRUE(original);
    EXPECT_EQ(*original, (Settings{0, {10, 1, 1, 5}, {255, 0, 0, 0}, {}, {}}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(API_SetNicTcpipAddr(c.mode, c.address, c.mask, c.gateway, c.dns), 1);
        EXPECT_EQ(read(), c.expected);
        // Restoring what was read gives the original values back.
        ASSERT_EQ(API_SetNicTcpipAddr(0, "10.1.1.5", "255.0.0.0", "", ""), 1);
        EXPECT_EQ(read(), original);
    }
    // As Windows keeps them: multi-strings for the addresses, an empty list for no gateway.
    const sim::RegistryKey* key = interfaceKey(0);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->findValue(u"IPAddress")->type, sim::kRegMultiSz);
    EXPECT_EQ(key->findValue(u"IPAddress")->asMultiString(), std::vector<std::u16string>{u"10.1.1.5"});
    EXPECT_TRUE(key->findValue(u"DefaultGateway")->asMultiString().empty());
    EXPECT_EQ(key->findValue(u"NameServer")->type, sim::kRegSz);
    EXPECT_EQ(key->findValue(u"EnableDHCP")->asDword(), 0u);
}

TEST_F(TcpipSettingsTest, TheWideFormWritesTheSameValues) {
    machine.addAdapter();
    start();
    ASSERT_EQ(API_SetNicTcpipAddr_W(0, kvText(u"172.16.0.9").c_str(), kvText(u"255.255.0.0").c_str(),
                                    kvText(u"172.16.0.1").c_str(), nullptr),
              1);
    EXPECT_EQ(read(), (Settings{0, {172, 16, 0, 9}, {255, 255, 0, 0}, {172, 16, 0, 1}, {}}));
}

TEST_F(TcpipSettingsTest, MalformedSettingsAreRefusedWithoutWritingAnything) {
    struct Case {
        int mode;
        const char *address, *mask, *gateway, *dns;
    };
    const Case cases[] = {
        {0, "192.168.12", "255.255.255.0", "", ""},           {0, "192.168.12.256", "255.255.255.0", "", ""},
        {0, "192.168.12.1 ", "255.255.255.0", "", ""},        {0, "192.168..1", "255.255.255.0", "", ""},
        {0, "192.168.12.1", "255.255.255.0.0", "", ""},       {0, "192.168.12.1", "255.255.255.0", "gateway", ""},
        {0, "192.168.12.1", "255.255.255.0", "", "-1.0.0.0"}, {2, "192.168.12.1", "255.255.255.0", "", ""},
        {-1, "192.168.12.1", "255.255.255.0", "", ""},
    };
    machine.addAdapter().set("ip.address", Json("10.1.1.5")).set("ip.mask", Json("255.0.0.0"));
    start();
    const sim::RegistryKey before = *interfaceKey(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " " + c.mask + " " + c.gateway + " " + c.dns);
        EXPECT_EQ(API_SetNicTcpipAddr(c.mode, c.address, c.mask, c.gateway, c.dns), 0);
        EXPECT_EQ(interfaceKey(0)->values(), before.values());
    }
    int mode = 0;
    uint8_t bytes[4] = {};
    EXPECT_EQ(API_GetNicTcpipAddr(&mode, bytes, bytes, bytes, nullptr), 0);
}

// A full or read-only machine directory cannot take the new settings: the call fails and the
// settings read back as they were.
TEST_F(TcpipSettingsTest, SettingsTheMachineDirectoryCannotSaveFailAndTheOldOnesStay) {
    machine.addAdapter().set("ip.address", Json("10.1.1.5")).set("ip.mask", Json("255.0.0.0"));
    machine.inDirectory();
    start();
    const auto original = read();
    using Faults = sim::testing::WriteFaults;
    for (Faults (*faults)() : {+[] { return Faults::diskFull(100); }, +[] { return Faults::readOnly(); }}) {
        const Faults active = faults();
        EXPECT_EQ(API_SetNicTcpipAddr(0, "10.8.8.8", "255.255.255.0", "10.8.8.1", ""), 0);
        EXPECT_EQ(read(), original);
    }
    ASSERT_EQ(API_SetNicTcpipAddr(0, "10.8.8.8", "255.255.255.0", "10.8.8.1", ""), 1);
}

TEST_F(TcpipSettingsTest, TheNewAddressIsInEffectOnlyAfterTheAdapterRestarts) {
    machine.addAdapter().set("ip.address", Json("10.1.1.5")).set("ip.mask", Json("255.0.0.0"));
    machine.addAdapter().set("ip.address", Json("10.2.2.6")).set("ip.mask", Json("255.0.0.0"));
    start();
    ASSERT_EQ(API_SetNicTcpipAddr(0, "192.168.12.1", "255.255.255.0", "", ""), 1);
    EXPECT_EQ(ip(), (std::array<uint8_t, 4>{10, 1, 1, 5}));
    ASSERT_EQ(API_ReloadMiniport(), 1);
    EXPECT_EQ(ip(), (std::array<uint8_t, 4>{192, 168, 12, 1}));
    EXPECT_EQ(adapter(1).ip.address, "10.2.2.6") << "the other adapter keeps its address";

    // DHCP: no server's answer is on record for an adapter machine.json gives a static address.
    ASSERT_EQ(API_SetCurrAdaptIdx(1), 1);
    ASSERT_EQ(API_SetNicTcpipAddr(1, "", "", "", ""), 1);
    ASSERT_EQ(API_ReloadMiniport(), 1);
    EXPECT_TRUE(adapter(1).ip.dhcp);
    EXPECT_EQ(adapter(1).ip.address, "0.0.0.0");
}

}  // namespace
}  // namespace kv::test
