// Register, PCI configuration, link and address access, and the adapter information record.
#include "access.h"

#include <array>

#include "kv/bytes.h"
#include "kv/sim/adapter/registers.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

using AccessTest = LibraryTest;

TEST_F(AccessTest, LinkSpeedDuplexAndState) {
    struct Case {
        bool up;
        uint32_t speed;
        const char* duplex;
        uint32_t mbps;
        int duplexState;
        int status;
    } cases[] = {
        {true, 1000, "full", 1000, 2, 0},
        {true, 100, "half", 100, 1, 0},
        {true, 10, "full", 10, 2, 0},
        {false, 100, "full", 100, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.speed) + (c.up ? " up" : " down"));
        MachineBuilder m;
        m.addAdapter().link(c.up, c.speed, c.duplex);
        machine = m;
        start();
        uint32_t mbps = 0;
        int duplex = -1;
        int status = -1;
        ASSERT_EQ(API_GetLinkSpeed(&mbps), 1);
        ASSERT_EQ(API_GetDuplexMode(&duplex), 1);
        ASSERT_EQ(IsLink(&status), 1);
        EXPECT_EQ(mbps, c.mbps);
        EXPECT_EQ(duplex, c.duplexState);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(API_IsLink(), c.status == 0 ? 1 : 0);
        const auto requests = ioctls("0012C804");
        ASSERT_EQ(requests.size(), 4u);
        EXPECT_EQ(requests[0], "0012C804 16 16 ok 0701010000000000" + std::string(16, '0'));
        EXPECT_EQ(requests[1].substr(0, 30), "0012C804 52 52 ok 070201000000");
        EXPECT_EQ(requests[2].substr(0, 26), "0012C804 16 16 ok 14010100");
    }
}

TEST_F(AccessTest, NoLinkWhenTheStatusCannotBeRead) {
    machine.addAdapter().fault("failingOids", jsonArray({"0x00010114"}));
    start();
    EXPECT_EQ(API_IsLink(), 0);
}

TEST_F(AccessTest, ChipClassFollowsTheDeviceId) {
    struct Case {
        uint16_t deviceId;
        int io;
        uint32_t chipClass;
    } cases[] = {
        {0x4420, 0xD000, 2}, {0x0000, 0x1000, 2}, {0x0000, 0, 0},      {0x4410, 0xD000, 4},
        {0x4440, 0xD000, 4}, {0x4430, 0xD000, 8}, {0x4450, 0xD000, 8}, {0x1039, 0xD000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceId);
        MachineBuilder m;
        m.addAdapter(c.deviceId).set("pci.io", Json(c.io)).set("pci.revision", Json(0x12));
        machine = m;
        start();
        AdapterInfo info{};
        ASSERT_EQ(API_GetAdapterInfo(&info), 1);
        EXPECT_EQ(info.ChipClass, c.chipClass);
        EXPECT_EQ(info.DeviceId, c.deviceId);
        EXPECT_EQ(info.IoAddress, static_cast<uint32_t>(c.io));
        EXPECT_EQ(info.RevisionId, 0x12);
        EXPECT_EQ(info.InterruptNumber, 16u);
    }
}

TEST_F(AccessTest, AFailedRecordQueryFillsAllOnes) {
    machine.addAdapter().fault("failingOids", jsonArray({"0xFF444001"}));
    start();
    AdapterInfo info{};
    ASSERT_EQ(API_GetAdapterInfo(&info), 1);
    AdapterInfo expected{};
    std::memcpy(expected.MacAddress, "\x00\x1D\x7A\x00\x00\x01", 6);
    expected.Bus = expected.Slot = expected.IoAddress = expected.InterruptNumber = expected.MemoryAddress = 0xFFFFFFFF;
    expected.VendorId = expected.DeviceId = expected.SubVendorId = expected.SubSystemId = 0xFFFF;
    expected.RevisionId = 0xFF;
    EXPECT_EQ(std::memcmp(&info, &expected, sizeof info), 0);
    EXPECT_TRUE(traced("msgbox").empty());
}

TEST_F(AccessTest, AFailedMacQueryWritesNothing) {
    machine.addAdapter().fault("failingOids", jsonArray({"0x01010102"}));
    start();
    AdapterInfo info;
    std::memset(&info, 0xAB, sizeof info);
    EXPECT_EQ(API_GetAdapterInfo(&info), 0);
    EXPECT_EQ(info.ChipClass, 0xABABABABu);
    EXPECT_EQ(info.MacAddress[0], 0xAB);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"Get mac address error"});
    EXPECT_EQ(API_IsCurrAdapterAlive(), 0);
}

TEST_F(AccessTest, PciConfigurationSpaceMatchesTheIdentity) {
    machine.addAdapter(0x4440).set("pci.subSystem", Json("0x0440")).set("pci.revision", Json(2));
    start();
    std::array<uint8_t, 1024> config{};
    ASSERT_EQ(GetPciConfigSpace(config.data()), 1);
    EXPECT_EQ(ioctls("0012C804").at(0).substr(0, 19), "0012C804 1036 1036 ");
    EXPECT_EQ(readU16(config, 0x00), 0x1D7A);
    EXPECT_EQ(readU16(config, 0x02), 0x4440);
    EXPECT_EQ(config[0x08], 2);
    EXPECT_EQ(readU16(config, 0x2E), 0x0440);
    EXPECT_EQ(readU32(config, 0x10), 0xD001u);  // I/O base
    EXPECT_EQ(config[0x3C], 16);                // interrupt line
    uint16_t id = 0;
    EXPECT_EQ(lib::GetPciDeviceId(&id), 1);
    EXPECT_EQ(id, 0x4440);
    adapter(0).present = false;
    EXPECT_EQ(lib::GetPciDeviceId(&id), 0);
    EXPECT_EQ(id, 0);
}

TEST_F(AccessTest, RegisterReadsCopyExactlyCountBytes) {
    machine.addAdapter().set("registers", [] {
        Json r = Json::object();
        r.set("0x40", Json("0x11"));
        r.set("0x41", Json("0x22"));
        r.set("0x42", Json("0x33"));
        r.set("0x43", Json("0x3C"));
        return r;
    }());
    start();
    std::array<uint8_t, 8> out;
    out.fill(0xEE);
    ASSERT_EQ(GetMacReg(0x40, 3, out.data()), 1);
    EXPECT_EQ(out, (std::array<uint8_t, 8>{0x11, 0x22, 0x33, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    // Offset at data 0, count at data 2, zero at data 4, in a 1036-byte request.
    const std::string request = ioctls("0012C804").at(0);
    EXPECT_EQ(request.substr(0, 22 + 32), "0012C804 1036 1036 ok 0a4044ff000000004000030000000000");
    EXPECT_EQ(request.size(), 22u + 2 * 1036);

    uint8_t chip = 0;
    ASSERT_EQ(ReadPortUchar(0x43, &chip), 1);
    EXPECT_EQ(chip, 0x3C);
}

TEST_F(AccessTest, RegisterReadsOutsideTheWindowFail) {
    machine.addAdapter();
    start();
    std::vector<uint8_t> out(2048, 0xEE);
    EXPECT_EQ(GetMacReg(0, 1025, out.data()), 0);
    EXPECT_TRUE(ioctls("0012C804").empty());  // refused before anything is sent
    EXPECT_EQ(GetMacReg(1000, 100, out.data()), 0);
    EXPECT_EQ(out[0], 0xEE);
    EXPECT_EQ(GetMacReg(0, 1024, out.data()), 1);
    EXPECT_EQ(out[1024], 0xEE);
}

TEST_F(AccessTest, RegisterWritesSendTheValueLowByteFirst) {
    machine.addAdapter();
    start();
    const uint8_t value[2] = {0x34, 0x12};
    ASSERT_EQ(WriteMacReg(0x3E, 2, value), 1);
    EXPECT_EQ(ioctls("0012C804"), std::vector<std::string>{"0012C804 18 18 ok 054044ff000000003e000200341200000000"});
    EXPECT_EQ(adapter(0).component<sim::MacRegisters>()->stored(0x3F), 0x12);
}

TEST_F(AccessTest, RegisterWritesThatCannotBeCarriedFail) {
    machine.addAdapter().fault("failingOids", jsonArray({"0xFF444005"}));
    start();
    const uint8_t value[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    // Seven bytes do not fit the 18-byte request: refused without a request.
    EXPECT_EQ(WriteMacReg(0x10, 7, value), 0);
    EXPECT_TRUE(ioctls("0012C804").empty());
    // The driver refusing the write.
    EXPECT_EQ(WriteMacReg(0x38, 1, value), 0);
    EXPECT_EQ(traced("msgbox"), (std::vector<std::string>{"Write Mac Fail fail", "Write Mac Fail fail"}));
}

using IpAddressTest = LibraryTest;

TEST_F(IpAddressTest, FirstEntryWithTheAdaptersAddress) {
    machine.addAdapter().set("ip.address", Json("192.168.1.20"));
    // A second adapter with the same Ethernet address comes later in the table.
    machine.addAdapter().set("mac", Json(MachineBuilder::macOf(0))).set("ip.address", Json("10.1.2.3"));
    start();
    uint8_t ip[4] = {};
    EXPECT_EQ(API_GetIPAddress(ip), 1);
    EXPECT_EQ(std::vector<uint8_t>(ip, ip + 4), (std::vector<uint8_t>{192, 168, 1, 20}));
    // Two entries do not fit the first 640 bytes: the table is asked again with the size it named.
    EXPECT_EQ(traced("iphelper"), (std::vector<std::string>{"640 err=111", "1280 ok"}));
}

TEST_F(IpAddressTest, AlwaysSucceedsAndWritesOnlyAParsedAddress) {
    struct Case {
        const char* name;
        const char* address;  // nullptr: the adapter has none
        const char* failingOid;
        int tableError;
        std::vector<uint8_t> expected;
        std::vector<std::string> stdoutLines;
    } cases[] = {
        {"no address", nullptr, nullptr, 0, {0, 0, 0, 0}, {}},
        {"table fails", "192.168.1.20", nullptr, 31, {9, 9, 9, 9}, {"GetAdaptersInfo call failed with 31"}},
        // A MAC address that was never read matches no entry.
        {"MAC query fails", "192.168.1.20", "0x01010102", 0, {9, 9, 9, 9}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MachineBuilder m;
        auto& a = m.addAdapter();
        if (c.address) a.set("ip.address", Json(c.address));
        if (c.failingOid) a.fault("failingOids", jsonArray({c.failingOid}));
        if (c.tableError) m.set("ipHelper.faults.error", Json(c.tableError));
        machine = m;
        start();
        uint8_t ip[4] = {9, 9, 9, 9};
        EXPECT_EQ(API_GetIPAddress(ip), 1);
        EXPECT_EQ(std::vector<uint8_t>(ip, ip + 4), c.expected);
        EXPECT_EQ(traced("stdout"), c.stdoutLines);
    }
}

}  // namespace
}  // namespace kv::test
