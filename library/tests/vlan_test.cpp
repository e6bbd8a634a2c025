// VLANs: the VLAN ID of the current adapter, VLAN virtual adapters added through the device
// installer, found by the listing through their driver keys, renumbered and removed.
#include <algorithm>

#include "kv/protocol.h"
#include "kv/sim/devices.h"
#include "kv/text.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

class VlanTest : public LibraryTest {
protected:
    // A 4450 and a 4440, as the tests of the VLAN page use them.
    void twoAdapters() {
        machine.addAdapter(0x4450);
        machine.addAdapter(0x4440);
    }

    static std::vector<int32_t> parents(const AdapterList_A& l) {
        return std::vector<int32_t>(l.ParentIndex, l.ParentIndex + l.Count);
    }

    static const sim::RegistryKey* driverKeyOf(const sim::Adapter& a) {
        for (const auto& d : sim::Host::get().machine().devices)
            if (d.present && d.adapterIndex == static_cast<int>(a.index))
                return sim::Host::get().machine().registry.find(std::u16string(sim::kNetClassKeyPath) + u"\\" +
                                                                d.driverKey);
        return nullptr;
    }

    static size_t presentVlanDevices() {
        const auto& devices = sim::Host::get().machine().devices;
        return static_cast<size_t>(std::count_if(devices.begin(), devices.end(), [](const sim::Device& d) {
            return d.present && equalsIgnoreCase(d.componentId, protocol::kVlanHardwareId);
        }));
    }

    // machine.json's "vlans" of an adapter: the IDs, with a connection name where one is given.
    static Json vlans(std::initializer_list<std::pair<int64_t, const char*>> list) {
        Json out = Json::array();
        for (const auto& [id, name] : list) {
            Json vlan = Json::object();
            vlan.set("id", Json(id));
            if (name) vlan.set("connectionName", Json(name));
            out.push_back(vlan);
        }
        return out;
    }

    static std::optional<uint32_t> vid() {
        uint32_t id = 0xDEADBEEF;
        if (!API_GetVID(&id)) return std::nullopt;
        return id;
    }
};

TEST_F(VlanTest, GetVidAnswersTheDriversIdInItsLow16Bits) {
    struct Case {
        const char* name;
        const char* field;
        Json value;
        std::optional<uint32_t> id;
    };
    const Case cases[] = {
        {"a physical adapter tags no VLAN", nullptr, Json(), 0u},
        {"an ID from machine.json", "vlanId", Json(int64_t{42}), 42u},
        {"only the low 16 bits", "vlanId", Json(int64_t{0x1000A}), 10u},
        {"a driver without VLAN support", "vlanSupport", Json(false), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        auto& a = machine.addAdapter();
        if (c.field) a.set(c.field, c.value);
        start();
        EXPECT_EQ(vid(), c.id);
        // One 16-byte OID_GEN_VLAN_ID query; the refusal is the driver's.
        const auto queries = ioctls("0012C804");
        ASSERT_EQ(queries.size(), 1u);
        EXPECT_EQ(queries[0],
                  std::string("0012C804 16 16 ") + (c.id ? "ok" : "err=50") + " 1c020100" + std::string(24, '0'));
    }
    EXPECT_EQ(API_GetVID(nullptr), 0);
}

TEST_F(VlanTest, AnAddedVlanIsListedUnderItsParentWithItsIdAndConnection) {
    twoAdapters();
    start();
    ASSERT_EQ(API_AddVlan(10), 1);
    // Registered, installed, and started after the install time on the simulated timeline.
    const auto devices = traced("device");
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].rfind("register ROOT\\TVX_VLAN\\", 0), 0u) << devices[0];
    EXPECT_EQ(devices[1].rfind("install ", 0), 0u);
    EXPECT_EQ(devices[2].substr(devices[2].size() - 3), " ok");
    EXPECT_GE(sleptMs(), 6000u);

    ASSERT_EQ(API_GetAdapterList_A(&list), 1);
    ASSERT_EQ(list.Count, 3u);
    EXPECT_EQ(parents(list), (std::vector<int32_t>{-1, -1, 0}));
    EXPECT_STREQ(list.Description[2], "Tavrick VLAN Virtual Adapter\n");

    const sim::RegistryKey* key = driverKeyOf(adapter(2));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->findValue(protocol::kVlanIdValue)->asString(), u"10");
    EXPECT_EQ(key->findValue(protocol::kVlanParentValue)->asString(), utf8ToUtf16(MachineBuilder::guidOf(0)));

    ASSERT_EQ(API_SetCurrAdaptIdx(2), 1);
    EXPECT_EQ(vid(), 10u);
    char name[KV_TEXT_CHARS] = {};
    ASSERT_EQ(API_GetConnName_A(name, KV_TEXT_CHARS), 1);
    EXPECT_STREQ(name, "Local Area Connection 3");
    // The VLAN's other commands reach its physical adapter's miniport.
    uint8_t mac[6] = {};
    ASSERT_EQ(API_GetSrcMac(mac), 1);
    EXPECT_TRUE(std::equal(mac, mac + 6, adapter(0).mac.begin()));
}

TEST_F(VlanTest, ModifyVidRenumbersTheVlanAndSelectsThePreviousAdapterAgain) {
    twoAdapters();
    machine.adapter(0).set("vlans", vlans({{10, nullptr}}));
    start();
    ASSERT_EQ(list.Count, 3u);
    ASSERT_EQ(API_SetCurrAdaptIdx(1), 1);
    sim::Host::get().trace().clear();

    EXPECT_EQ(API_ModifyVID(2, 300), 1);
    EXPECT_EQ(adapter(2).vlanId, 300u);
    EXPECT_EQ(driverKeyOf(adapter(2))->findValue(protocol::kVlanIdValue)->asString(), u"300");
    const auto sets = ioctls("0012C814");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0], "0012C814 16 16 ok 1c020100000000002c01000000000000");
    // Adapter 2 opened for the change, then adapter 1 again.
    const auto opens = ioctls("0012C800");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_NE(opens[1].find(utf16Hex(MachineBuilder::guidOf(1))), std::string::npos);

    ASSERT_EQ(API_SetCurrAdaptIdx(2), 1);
    EXPECT_EQ(vid(), 300u);
}

TEST_F(VlanTest, ModifyVidFailsForIdsOutOfRangeAndDriversThatRefuseIt) {
    machine.addAdapter(0x4450).set("vlanSupport", Json(false));
    start();
    for (uint16_t id : {uint16_t{0}, uint16_t{4095}, uint16_t{65535}}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(API_ModifyVID(0, id), 0);
        EXPECT_TRUE(traced("ioctl").empty()) << "refused without a request";
    }
    EXPECT_EQ(API_ModifyVID(0, 12), 0);
    EXPECT_EQ(ioctls("0012C814").size(), 1u);
    EXPECT_EQ(API_ModifyVID(7, 12), 0) << "an entry that was never listed";
}

TEST_F(VlanTest, DelVlanRemovesTheVlanAndNothingElse) {
    twoAdapters();
    start();
    ASSERT_EQ(API_AddVlan(20), 1);
    ASSERT_EQ(API_GetAdapterList_A(&list), 1);
    ASSERT_EQ(list.Count, 3u);
    const std::u16string guid = adapter(2).guid;

    EXPECT_EQ(API_DelVlan(0), 0) << "a physical adapter is no VLAN";
    EXPECT_EQ(API_DelVlan(1), 0);
    EXPECT_EQ(API_DelVlan(9), 0);
    EXPECT_EQ(presentVlanDevices(), 1u);

    EXPECT_EQ(API_DelVlan(2), 1);
    EXPECT_EQ(presentVlanDevices(), 0u);
    EXPECT_EQ(sim::Host::get().machine().registry.find(std::u16string(sim::kNetworkConnectionsKeyPath) + u"\\" + guid),
              nullptr);
    ASSERT_EQ(API_GetAdapterList_A(&list), 1);
    EXPECT_EQ(list.Count, 2u);
    EXPECT_EQ(parents(list), (std::vector<int32_t>{-1, -1}));
}

TEST_F(VlanTest, AddVlanLeavesNothingBehindWhenItCannotBeDone) {
    struct Case {
        const char* name;
        const char* path;  // machine setting, or adapter setting with "adapter."
        Json value;
        uint32_t id;
        bool registered;  // a device was registered (and removed again)
        uint64_t slept;
    };
    const Case cases[] = {
        {"ID 0", nullptr, Json(), 0, false, 0},
        {"ID 4095", nullptr, Json(), 4095, false, 0},
        {"driver without VLAN support", "adapter.vlanSupport", Json(false), 10, false, 0},
        {"install fails", "vlanInstall.faults.fails", Json(true), 10, true, 0},
        {"install never completes", "vlanInstall.faults.neverCompletes", Json(true), 10, true, 60000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        auto& a = machine.addAdapter(0x4450);
        if (c.path && std::string(c.path).rfind("adapter.", 0) == 0)
            a.set(std::string(c.path).substr(8), c.value);
        else if (c.path)
            machine.set(c.path, c.value);
        start();
        EXPECT_EQ(API_AddVlan(c.id), 0);
        EXPECT_EQ(presentVlanDevices(), 0u);
        const auto devices = traced("device");
        EXPECT_EQ(!devices.empty(), c.registered);
        if (c.registered) {
            EXPECT_EQ(devices.back().rfind("remove ", 0), 0u);
        }
        EXPECT_EQ(sleptMs(), c.slept);
        ASSERT_EQ(API_GetAdapterList_A(&list), 1);
        EXPECT_EQ(list.Count, 1u);
    }
}

TEST_F(VlanTest, AVlanCannotCarryVlansOfItsOwn) {
    machine.addAdapter(0x4450).set("vlans", vlans({{5, nullptr}}));
    start();
    ASSERT_EQ(API_SetCurrAdaptIdx(1), 1);
    EXPECT_EQ(API_AddVlan(6), 0);
    EXPECT_TRUE(traced("device").empty());
}

TEST_F(VlanTest, TheListingNamesParentsOnlyAmongListedAdapters) {
    // VLANs of an adapter the protocol driver is not bound to stay top-level entries.
    machine.addAdapter(0x4450).set("bound", Json(false));
    machine.adapter(0).set("vlans", vlans({{10, nullptr}, {20, nullptr}}));
    machine.addAdapter(0x4440).set("vlans", vlans({{30, "Lab VLAN"}}));
    start();
    ASSERT_EQ(list.Count, 4u);
    EXPECT_EQ(parents(list), (std::vector<int32_t>{-1, -1, -1, 0}));
    ASSERT_EQ(API_SetCurrAdaptIdx(3), 1);
    char name[KV_TEXT_CHARS] = {};
    ASSERT_EQ(API_GetConnName_A(name, KV_TEXT_CHARS), 1);
    EXPECT_STREQ(name, "Lab VLAN");
}

TEST_F(VlanTest, AVlanDeviceTheMachineNamesStartsUnlessItIsDisabled) {
    // A captured machine lists its VLAN devices beside the driver keys they own.
    for (const bool disabled : {false, true}) {
        SCOPED_TRACE(disabled ? "disabled" : "enabled");
        API_Close();
        machine = MachineBuilder();
        machine.addAdapter(0x4450);
        machine.registry(
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-"
            "08002BE10318}\\0005]\n\"ComponentId\"=\"tvx_vlan\"\n"
            "\"NetCfgInstanceId\"=\"{1D7A5600-0021-4A11-8D7A-000000000000}\"\n\"VlanID\"=\"33\"\n"
            "\"ParentNetCfgInstanceId\"=\"" +
            MachineBuilder::guidOf(0) + "\"\n");
        Json device = Json::object();
        device.set("instanceId", Json("ROOT\\TVX_VLAN\\0005"));
        device.set("driverKey", Json("0005"));
        device.set("disabled", Json(disabled));
        Json devices = Json::array();
        devices.push_back(device);
        machine.set("devices", devices);
        start();
        if (disabled) {
            EXPECT_EQ(parents(list), (std::vector<int32_t>{-1}));
            continue;
        }
        EXPECT_EQ(parents(list), (std::vector<int32_t>{-1, 0}));
        ASSERT_EQ(API_SetCurrAdaptIdx(1), 1);
        EXPECT_EQ(vid(), 33u);
    }
}

}  // namespace
}  // namespace kv::test
