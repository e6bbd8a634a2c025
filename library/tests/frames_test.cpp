// Raw frames on the channel: the test frame, the peer test frame, the signal frame and the
// packet filter, as the driver and the wire see them.
#include <filesystem>
#include <fstream>
#include <random>

#include "frame_fixture.h"

namespace kv::test {
namespace {

using FramesTest = LibraryTest;

Bytes testData() { return counting(256); }

TEST_F(FramesTest, TestFrameGoesOutToTheOwnAddressWithTheTypeLowByteFirst) {
    machine.addAdapter();
    start();
    const Bytes data = testData();
    EXPECT_EQ(DoWriteProcData(data.data()), 1);
    const Mac own = macOf(0);
    EXPECT_EQ(traced("write"), std::vector<std::string>{"270 ok " + hex(testFrame(own, own, data))});
}

TEST_F(FramesTest, TestFrameWriteFailures) {
    struct Case {
        const char* name;
        const char* fault;
        Json value;
        std::vector<std::string> writes;
        std::vector<std::string> stdoutLines;
        std::vector<std::string> boxes;
        uint64_t waitedMs;
    } cases[] = {
        {"write stays pending",
         "writePending",
         Json(true),
         {"270 timeout "},
         {"DoWriteProc: WriteFile failed"},
         {},
         500},
        {"write refused", "writeError", Json(int64_t{31}), {"270 err=31 "}, {}, {}, 0},
        {"own address unreadable", "failingOids", Json::array(), {}, {}, {"Get Mac Address Error\\n"}, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        Json value = c.value;
        if (value.isArray()) value.push_back(Json("0x01010102"));
        machine.addAdapter().fault(c.fault, value);
        start();
        const Bytes data = testData();
        const uint64_t before = nowMs();
        EXPECT_EQ(DoWriteProcData(data.data()), 0);
        auto writes = traced("write");
        for (auto& w : writes) w = w.substr(0, w.rfind(' ') + 1);
        EXPECT_EQ(writes, c.writes);
        EXPECT_EQ(traced("stdout"), c.stdoutLines);
        EXPECT_EQ(traced("msgbox"), c.boxes);
        EXPECT_EQ(traced("cancel").size(), c.waitedMs ? 1u : 0u);
        EXPECT_EQ(nowMs() - before, c.waitedMs);
    }
}

TEST_F(FramesTest, ExchangeInRealTime) {
    machine.addAdapter().set("frames.loopbackPlug", Json(true)).set("frames.loopbackLatencyMs", Json(int64_t{20}));
    start();
    sim::Host::get().install(sim::buildMachine(machine.json()), sim::SimClock::Mode::Real);
    API_Open();
    API_GetAdapterList_A(&list);
    const Bytes data = testData();
    Bytes received(256, 0);
    const uint64_t before = sim::steadyMs();
    EXPECT_EQ(DoWriteProcData(data.data()), 1);
    EXPECT_EQ(DoReadProcData(received.data()), 1);
    const uint64_t took = sim::steadyMs() - before;
    EXPECT_EQ(received, data);
    EXPECT_GE(took, 19u);
    EXPECT_LT(took, 400u);
}

TEST_F(FramesTest, ReadTakesAWaitingFrameAsItIsButChecksTheTypeOfLaterOnes) {
    machine.addAdapter();
    start();
    const Mac own = macOf(0);
    const Mac other = {0x02, 0, 0, 0, 0, 9};
    const Bytes foreign = ethernetFrame(own, other, 0x08, 0x00, counting(256, 100));
    const Bytes wanted = testFrame(own, other, testData());

    // Already waiting: taken without a type check.
    arrives(0, foreign);
    Bytes received(256, 0);
    EXPECT_EQ(DoReadProcData(received.data()), 1);
    EXPECT_EQ(received, counting(256, 100));

    // Arriving during the wait: three foreign frames are dropped, each within 500 ms of the read
    // before it, then the test frame is taken.
    for (uint64_t t : {100, 550, 1000}) arrives(0, foreign, t);
    arrives(0, wanted, 1400);
    std::fill(received.begin(), received.end(), 0);
    sim::Host::get().trace().clear();
    EXPECT_EQ(DoReadProcData(received.data()), 1);
    EXPECT_EQ(received, testData());
    EXPECT_EQ(traced("read").size(), 4u);
    EXPECT_TRUE(traced("stdout").empty());
}

TEST_F(FramesTest, DrainTakesOnlyWhatIsAlreadyThere) {
    machine.addAdapter();
    start();
    const Mac own = macOf(0);
    Bytes received(256, 0xEE);
    const uint64_t before = nowMs();
    EXPECT_EQ(DoReadProcDataIMD(received.data()), 0);
    EXPECT_EQ(nowMs(), before);
    EXPECT_EQ(traced("read"), std::vector<std::string>{"270 timeout "});
    EXPECT_EQ(traced("cancel"), std::vector<std::string>{"1"});

    // Any frame counts; a short one is copied only as far as it goes.
    arrives(0, ethernetFrame(own, own, 0x08, 0x06, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(DoReadProcDataIMD(received.data()), 1);
    Bytes expected(256, 0xEE);
    for (uint8_t i = 0; i < 6; ++i) expected[i] = static_cast<uint8_t>(i + 1);
    EXPECT_EQ(received, expected);
}

TEST_F(FramesTest, FramesWaitingAtTheStartAreDrainedUpToTheQueueLimit) {
    struct Case {
        int queued;
        int queueLimit;
        int drained;
    } cases[] = {{0, 4096, 0}, {3, 4096, 3}, {1001, 4096, 1001}, {5, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.queued);
        machine = MachineBuilder();
        machine.addAdapter().set("frames.queued", Json(c.queued)).set("frames.queueLimit", Json(c.queueLimit));
        start();
        Bytes received(256, 0);
        int drained = 0;
        while (drained <= c.queued && DoReadProcDataIMD(received.data())) ++drained;
        EXPECT_EQ(drained, c.drained);
        API_Close();
    }
}

TEST_F(FramesTest, PeerTestFrame) {
    machine.addAdapter();
    start();
    const Mac own = macOf(0);
    EXPECT_EQ(API_PTSendPkt(1, own.data()), 1);
    EXPECT_TRUE(traced("write").empty());

    const Mac peer = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    for (const auto& [kind, byte] : {std::pair{1, 1}, {7, 2}}) {
        sim::Host::get().trace().clear();
        EXPECT_EQ(API_PTSendPkt(kind, peer.data()), 1);
        Bytes payload{static_cast<uint8_t>(byte)};
        const Bytes rest = counting(1514 - 15);
        payload.insert(payload.end(), rest.begin(), rest.end());
        EXPECT_EQ(traced("write"), std::vector<std::string>{"1514 ok " + hex(testFrame(peer, own, payload))});
    }
}

TEST_F(FramesTest, PeerReceiveSkipsWhatItDoesNotWant) {
    const Mac a = {0x02, 0, 0, 0, 0, 0xA};
    const Mac b = {0x02, 0, 0, 0, 0, 0xB};
    struct Arrival {
        Bytes frame;
        uint64_t atMs;
    };
    struct Case {
        const char* name;
        int repliesOnly;
        std::vector<Arrival> arrivals;
        int result;
        int kind;
        Mac sender;
    };
    machine.addAdapter();
    start();
    const Mac own = macOf(0);
    const Case cases[] = {
        {"requests ignored with replies only",
         1,
         {{testFrame(own, a, {1}), 10}, {testFrame(own, b, {7}), 900}},
         1,
         2,
         b},
        {"request taken without the flag", 0, {{testFrame(own, a, {1}), 10}}, 1, 1, a},
        {"other types dropped",
         0,
         {{ethernetFrame(own, a, 0x08, 0x00, {1}), 10}, {testFrame(own, b, {2}), 20}},
         1,
         2,
         b},
        {"test type without a kind byte dropped", 0, {{testFrame(own, a, {}), 10}}, 0, -1, {}},
        {"silence", 0, {}, 0, -1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& arrival : c.arrivals) arrives(0, arrival.frame, arrival.atMs);
        Mac sender{};
        int kind = -1;
        EXPECT_EQ(APT_PTRecvPkt(sender.data(), &kind, c.repliesOnly), c.result);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(sender, c.sender);
    }
}

TEST_F(FramesTest, APeerOnTheWireAnswersARequest) {
    const Mac peer = {0x00, 0x1D, 0x7A, 0x99, 0x00, 0x01};
    Json peers = Json::array();
    Json p = Json::object();
    p.set("mac", Json("00-1D-7A-99-00-01"));
    peers.push_back(p);
    machine.set("wire.peers", peers);
    machine.addAdapter();
    start();
    EXPECT_EQ(API_PTSendPkt(1, peer.data()), 1);
    Mac sender{};
    int kind = 0;
    EXPECT_EQ(APT_PTRecvPkt(sender.data(), &kind, 1), 1);
    EXPECT_EQ(sender, peer);
    EXPECT_EQ(kind, 2);
}

TEST_F(FramesTest, SignalFrame) {
    machine.addAdapter();
    start();
    EXPECT_EQ(WAVSendPkt(0), 1);
    EXPECT_EQ(WAVSendPkt(1), 1);
    EXPECT_EQ(traced("write"),
              (std::vector<std::string>{"200 ok " + hex(Bytes(200, 0xFF)), "200 ok " + hex(counting(200))}));
}

TEST_F(FramesTest, PacketFilterDecidesWhatTheOtherAdaptersReceive) {
    machine.addAdapter();
    machine.addAdapter();                                         // filter 9 by default
    machine.addAdapter().set("frames.filter", Json(int64_t{0}));  // receives nothing
    machine.addAdapter().set("frames.filter", Json(int64_t{0x20})).link(false);
    machine.addAdapter().set("frames.filter", Json(int64_t{0x20}));
    start();
    EXPECT_EQ(WAVSendPkt(0), 1);                      // broadcast
    EXPECT_EQ(API_PTSendPkt(2, macOf(1).data()), 1);  // directed to adapter 1
    EXPECT_EQ(API_PTSendPkt(2, macOf(2).data()), 1);  // directed to adapter 2
    sim::Host::get().sleep(1);
    const size_t expected[] = {0, 2, 0, 0, 3};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(adapter(i).component<sim::FramePort>()->queued(), expected[i]) << "adapter " << i;
}

TEST_F(FramesTest, FramesOnTheWireAreCaptured) {
    machine.addAdapter();
    machine.addAdapter().set("frames.loopbackPlug", Json(true));
    start();
    const auto path =
        std::filesystem::temp_directory_path() / ("kv_capture_" + std::to_string(std::random_device{}()) + ".pcap");
    sim::Host::get().pcap().open(path.string());
    sim::Host::get().sleep(1234);
    EXPECT_EQ(WAVSendPkt(1), 1);
    API_SetCurrAdaptIdx(1);
    EXPECT_EQ(WAVSendPkt(0), 1);  // looped back by the plug: never on the wire
    sim::Host::get().pcap().close();

    std::ifstream in(path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();  // Windows removes no file that is open
    std::filesystem::remove(path);
    ASSERT_EQ(file.size(), 24u + 16u + 200u);
    EXPECT_EQ(hex(std::span(file).first(8)), "d4c3b2a102000400");
    EXPECT_EQ(hex(std::span(file).subspan(20, 4)), "01000000");  // Ethernet
    EXPECT_EQ(hex(std::span(file).subspan(32, 8)), "c8000000c8000000");
    EXPECT_EQ(Bytes(file.begin() + 40, file.end()), counting(200));
}

TEST_F(FramesTest, PacketFilterRequests) {
    machine.addAdapter();
    start();
    EXPECT_EQ(API_SetPktFilter(), 1);
    EXPECT_EQ(API_SetPktFilterType(0x20), 1);
    EXPECT_EQ(ioctls("0012C814"), (std::vector<std::string>{"0012C814 16 16 ok 0e010100000000000900000000000000",
                                                            "0012C814 16 16 ok 0e010100000000002000000000000000"}));

    machine = MachineBuilder();
    Json failing = Json::array();
    failing.push_back(Json("0x0001010E"));
    machine.addAdapter().fault("failingOids", failing);
    start();
    EXPECT_EQ(API_SetPktFilter(), 0);
    EXPECT_EQ(API_SetPktFilterType(0x20), 0);
    EXPECT_EQ(traced("msgbox"), (std::vector<std::string>{"API_SetPktFilter Error code is 31 size is 16",
                                                          "API_SetPktFilter Error code is 31 size is 16   typeis 32"}));
}

}  // namespace
}  // namespace kv::test
