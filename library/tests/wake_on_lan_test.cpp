// Wake-up frames byte for byte, and the driver's wake-up pattern test area.
#include "frame_fixture.h"

namespace kv::test {
namespace {

using WakeOnLanTest = LibraryTest;

const Mac kTarget = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

TEST_F(WakeOnLanTest, MagicPacketCarriesTheTargetSixteenTimes) {
    machine.addAdapter();
    start();
    EXPECT_EQ(API_SendMagicPacket(kTarget.data()), 1);
    Bytes payload(6, 0xFF);
    for (int i = 0; i < 16; ++i) payload.insert(payload.end(), kTarget.begin(), kTarget.end());
    const Mac broadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(traced("write"),
              std::vector<std::string>{"116 ok " + hex(ethernetFrame(broadcast, macOf(0), 0x08, 0x00, payload))});
}

TEST_F(WakeOnLanTest, IpWakeUpIsAnAddressResolutionFrameForTheTarget) {
    machine.addAdapter();
    start();
    const uint8_t ip[4] = {192, 168, 0, 20};
    EXPECT_EQ(API_IPWakeUP(ip), 1);
    Bytes payload(24, 0);
    payload.insert(payload.end(), std::begin(ip), std::end(ip));
    const Mac broadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(traced("write"),
              std::vector<std::string>{"42 ok " + hex(ethernetFrame(broadcast, macOf(0), 0x08, 0x06, payload))});
}

TEST_F(WakeOnLanTest, SendersFail) {
    machine.addAdapter().fault("writeError", Json(int64_t{31}));
    start();
    const uint8_t ip[4] = {10, 0, 0, 1};
    EXPECT_EQ(API_SendMagicPacket(kTarget.data()), 0);
    EXPECT_EQ(API_IPWakeUP(ip), 0);
    EXPECT_EQ(API_NetBIOSWakeUP("pc1", 3), 1);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"IP Send fail"});

    machine = MachineBuilder();
    Json failing = Json::array();
    failing.push_back(Json("0x01010102"));
    machine.addAdapter().fault("failingOids", failing);
    start();
    EXPECT_EQ(API_SendMagicPacket(kTarget.data()), 0);
    EXPECT_EQ(API_IPWakeUP(ip), 0);
    EXPECT_TRUE(traced("write").empty());
    EXPECT_TRUE(traced("msgbox").empty());
}

// The 32 encoded characters of the NetBIOS frame the export sends.
std::string encodedName() {
    const auto writes = traced("write");
    if (writes.size() != 1) return "?";
    const std::string frameHex = writes[0].substr(writes[0].rfind(' ') + 1);
    std::string name;
    for (size_t i = 55; i < 87; ++i)
        name.push_back(static_cast<char>(std::stoi(frameHex.substr(2 * i, 2), nullptr, 16)));
    return name;
}

TEST_F(WakeOnLanTest, NetbiosNameQuery) {
    machine.addAdapter();
    start();
    EXPECT_EQ(API_NetBIOSWakeUP("pc1", 3), 1);
    Bytes frame(100, 0);
    frame[12] = 0x08;
    frame[23] = 17;
    frame[35] = 0x89;
    frame[37] = 0x89;
    frame[45] = 0x10;
    frame[54] = 0x20;
    std::string name = "FAEDDB";
    for (int i = 3; i < 15; ++i) name += "CA";
    name += "BM";
    std::copy(name.begin(), name.end(), frame.begin() + 55);
    EXPECT_EQ(traced("write"), std::vector<std::string>{"100 ok " + hex(frame)});

    const std::string blanks15 = [] {
        std::string s;
        for (int i = 0; i < 15; ++i) s += "CA";
        return s;
    }();
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    const char sixteen[] = "ABCDEFGHIJKLMNOP";
    struct Case {
        const char* name;
        const char* text;
        int length;
        std::string encoded;
    } cases[] = {
        {"wildcard", "*", 1, "CK" + blanks15},
        {"cut at the NUL", "pc1\0zz", 6, "FAEDDB" + blanks15.substr(6) + "BM"},
        {"cut at the length", "pc1", 2, "FAED" + blanks15.substr(4) + "BM"},
        {"at most 15", sixteen, 16, "EBECEDEEEFEGEHEIEJEKELEMENEOEP" + std::string("BM")},
        {"negative length", "pc1", -1, blanks15 + "BM"},
        {"unterminated", unterminated, 4, "EBECEDEE" + blanks15.substr(8) + "BM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Host::get().trace().clear();
        EXPECT_EQ(API_NetBIOSWakeUP(c.text, c.length), 1);
        EXPECT_EQ(encodedName(), c.encoded);
    }
}

TEST_F(WakeOnLanTest, ASleepingPeerWakesOnItsPatterns) {
    const char* peers[][3] = {
        {"00-11-22-33-44-55", "", ""}, {"00-11-22-33-44-66", "192.168.0.20", ""}, {"00-11-22-33-44-77", "", "pc1"}};
    Json list = Json::array();
    for (const auto& peer : peers) {
        Json p = Json::object();
        p.set("mac", Json(peer[0]));
        p.set("asleep", Json(true));
        if (*peer[1]) p.set("ip", Json(peer[1]));
        if (*peer[2]) p.set("name", Json(peer[2]));
        list.push_back(p);
    }
    machine.set("wire.peers", list);
    machine.addAdapter();
    start();
    const uint8_t ip[4] = {192, 168, 0, 20};
    API_SendMagicPacket(kTarget.data());
    API_IPWakeUP(ip);
    API_NetBIOSWakeUP("PC1", 3);
    EXPECT_EQ(traced("peer"), (std::vector<std::string>{"00-11-22-33-44-55 wakes: magic packet",
                                                        "00-11-22-33-44-66 wakes: address resolution",
                                                        "00-11-22-33-44-77 wakes: NetBIOS name query"}));
}

TEST_F(WakeOnLanTest, PatternTestLength) {
    for (const auto& [reported, expected] : {std::pair{516, 516}, {517, -1}, {0, 0}}) {
        SCOPED_TRACE(reported);
        machine = MachineBuilder();
        machine.addAdapter().set("wakeupPatterns.testLength", Json(int64_t{reported}));
        start();
        EXPECT_EQ(WakeupPtnRwTestLen(), expected);
        EXPECT_EQ(ioctls("0012C804").size(), 1u);
        EXPECT_EQ(ioctls("0012C804")[0].substr(0, 21), "0012C804 12 12 ok 124");
    }
    machine = MachineBuilder();
    Json failing = Json::array();
    failing.push_back(Json("0xFF444012"));
    failing.push_back(Json("0xFF444014"));
    machine.addAdapter().fault("failingOids", failing);
    start();
    EXPECT_EQ(WakeupPtnRwTestLen(), -1);
    Bytes back(8, 0x77);
    EXPECT_EQ(WakeupPtnRead(back.data(), 8), 0);
    EXPECT_EQ(back, Bytes(8, 0x77));
    EXPECT_EQ(traced("msgbox"), (std::vector<std::string>{"Test OId failed", "Test OId Rd failed"}));
}

TEST_F(WakeOnLanTest, PatternWriteAndReadBack) {
    machine.addAdapter();
    start();
    const Bytes pattern = counting(516, 3);
    EXPECT_EQ(WakeupPtnWrite(pattern.data(), 516), 1);
    Bytes back(516, 0);
    EXPECT_EQ(WakeupPtnRead(back.data(), 516), 1);
    EXPECT_EQ(back, pattern);
    const auto requests = ioctls("0012C804");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 30), "0012C804 524 524 ok 134044ff00");
    EXPECT_EQ(requests[1], "0012C804 524 524 ok 144044ff00000000" + hex(Bytes(516, 0)));

    // Lengths outside the area are refused before anything is sent.
    sim::Host::get().trace().clear();
    Bytes big(600, 0x5A);
    EXPECT_EQ(WakeupPtnWrite(big.data(), 517), 0);
    EXPECT_EQ(WakeupPtnRead(big.data(), 517), 0);
    EXPECT_EQ(WakeupPtnWrite(big.data(), -1), 0);
    EXPECT_EQ(WakeupPtnRead(big.data(), -1), 0);
    EXPECT_TRUE(traced("ioctl").empty());
    EXPECT_EQ(big, Bytes(600, 0x5A));
}

}  // namespace
}  // namespace kv::test
