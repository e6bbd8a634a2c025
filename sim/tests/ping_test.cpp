// The simulated "ping": the address resolution or name query it puts on the wire, in the capture,
// and the sleeping station that wakes on it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "kv/platform/processes.h"
#include "kv/platform/testing/run_program.h"
#include "kv/sim/host.h"
#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/scratch_directory.h"
#include "kv/sim/wire.h"
#include "kv/text.h"

namespace kv::sim {
namespace {

using testing::MachineBuilder;
using testing::traced;

// The frames of a classic pcap file.
std::vector<std::vector<uint8_t>> capturedFrames(const std::string& bytes) {
    std::vector<std::vector<uint8_t>> frames;
    const auto u32 = [&bytes](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
        return v;
    };
    for (size_t at = 24; at + 16 <= bytes.size();) {
        const uint32_t length = u32(at + 8);
        if (at + 16 + length > bytes.size()) break;
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at + 16),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + 16 + length));
        at += 16 + length;
    }
    return frames;
}

class PingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Json peer = Json::object();
        peer.set("mac", Json("00-1D-7A-44-50-99"));
        peer.set("ip", Json("192.168.1.50"));
        peer.set("name", Json("Workshop PC"));
        peer.set("asleep", Json(true));
        Json peers = Json::array();
        peers.push_back(peer);
        machine.set("wire.peers", peers);
        machine.addAdapter()
            .set("ip.address", Json("192.168.1.20"))
            .set("ip.mask", Json("255.255.255.0"))
            .set("ip.gateway", Json("192.168.1.1"));
        machine.addAdapter().set("ip.address", Json("10.0.0.15")).set("ip.mask", Json("255.255.255.0"));
    }

    // Runs ping with these parameters, returns the frames it put on the wire.
    std::vector<std::vector<uint8_t>> ping(const std::u16string& parameters, uint32_t* exitCode = nullptr) {
        Host& host = machine.install();
        host.pcap().open("wire.pcap");
        uint32_t code = 99;
        EXPECT_TRUE(platform::processes().start({u"open", u"ping", parameters, true, true}, &code));
        if (exitCode) *exitCode = code;
        host.pcap().close();
        return capturedFrames(scratch.read("wire.pcap"));
    }

    static bool peerAwake() { return !Host::get().machine().wire.peers().at(0).asleep; }

    testing::ScratchDirectory scratch;
    MachineBuilder machine;
};

TEST_F(PingTest, AnAddressIsResolvedOnTheAdapterOfItsSubnetAndWakesTheSleeper) {
    uint32_t exitCode = 0;
    const auto frames = ping(u"-n 1 192.168.1.50", &exitCode);
    EXPECT_EQ(exitCode, 1u) << "a station that wakes does not answer";
    ASSERT_EQ(frames.size(), 1u);
    const auto& f = frames[0];
    ASSERT_EQ(f.size(), 60u);
    EXPECT_EQ(ethernet::destination(f), ethernet::kBroadcast);
    EXPECT_EQ(ethernet::source(f), Host::get().machine().adapters[0]->mac);
    EXPECT_EQ(ethernet::type(f), 0x0806);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 14, f.begin() + 22),
              (std::vector<uint8_t>{0, 1, 8, 0, 6, 4, 0, 1}));  // Ethernet, IPv4, request
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 28, f.begin() + 32), (std::vector<uint8_t>{192, 168, 1, 20}));
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 38, f.begin() + 42), (std::vector<uint8_t>{192, 168, 1, 50}));
    EXPECT_EQ(traced("tool"), std::vector<std::string>{"ping arp 192.168.1.50 adapter 0"});
    EXPECT_EQ(traced("peer"), std::vector<std::string>{"00-1d-7a-44-50-99 wakes: address resolution"});
    EXPECT_EQ(traced("start"), std::vector<std::string>{"ping -n 1 192.168.1.50"});
    EXPECT_EQ(testing::sleptMs(), 0u) << "the wait for the answer is not a sleep of the suite";
}

TEST_F(PingTest, AnAwakeStationAnswers) {
    machine.set("wire.peers", Json::array());
    Json peer = Json::object();
    peer.set("mac", Json("00-0C-29-3A-10-01"));
    peer.set("ip", Json("192.168.1.1"));
    Json peers = Json::array();
    peers.push_back(peer);
    machine.set("wire.peers", peers);
    uint32_t exitCode = 1;
    const auto frames = ping(u"-n 1 192.168.1.1", &exitCode);
    EXPECT_EQ(exitCode, 0u);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1][21], 2) << "an ARP reply";
    EXPECT_EQ(ethernet::destination(frames[1]), Host::get().machine().adapters[0]->mac);
}

TEST_F(PingTest, AnAddressOutsideEverySubnetIsAskedOfTheGateway) {
    uint32_t exitCode = 0;
    const auto frames = ping(u"-n 1 172.16.5.5", &exitCode);
    EXPECT_EQ(exitCode, 1u);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(frames[0].begin() + 38, frames[0].begin() + 42),
              (std::vector<uint8_t>{192, 168, 1, 1}));
    EXPECT_FALSE(peerAwake());
}

TEST_F(PingTest, ANameIsQueriedOnEveryAdapterAndWakesTheSleeperOfThatName) {
    struct Case {
        const char16_t* parameters;
        bool wakes;
    };
    for (const auto& c :
         {Case{u"-n 1 workshop pc", true}, Case{u"-n 1 WORKSHOP PC", true}, Case{u"-n 1 WORKSHOP", false}}) {
        SCOPED_TRACE(utf16ToUtf8(c.parameters));
        const auto frames = ping(c.parameters);
        ASSERT_EQ(frames.size(), 2u) << "one query per adapter with an address";
        for (const auto& f : frames) {
            EXPECT_EQ(ethernet::destination(f), ethernet::kBroadcast);
            EXPECT_EQ(f[23], 17) << "UDP";
            EXPECT_EQ((f[34] << 8) | f[35], 137);
            EXPECT_EQ((f[36] << 8) | f[37], 137);
        }
        EXPECT_EQ(netbiosQueryName(frames[0]), c.wakes ? "WORKSHOP PC" : "WORKSHOP");
        EXPECT_EQ(std::vector<uint8_t>(frames[0].begin() + 30, frames[0].begin() + 34),
                  (std::vector<uint8_t>{192, 168, 1, 255}));
        EXPECT_EQ(std::vector<uint8_t>(frames[1].begin() + 30, frames[1].begin() + 34),
                  (std::vector<uint8_t>{10, 0, 0, 255}));
        EXPECT_EQ(peerAwake(), c.wakes);
    }
}

TEST_F(PingTest, NoTargetOrNoRouteEndsWithOne) {
    for (const char16_t* parameters : {u"-n 1", u""}) {
        uint32_t exitCode = 0;
        EXPECT_TRUE(ping(parameters, &exitCode).empty());
        EXPECT_EQ(exitCode, 1u);
    }
    machine = MachineBuilder();
    machine.addAdapter().set("ip.address", Json("10.0.0.15")).set("ip.mask", Json("255.255.255.0"));
    uint32_t exitCode = 0;
    EXPECT_TRUE(ping(u"-n 1 192.168.1.50", &exitCode).empty());
    EXPECT_EQ(exitCode, 1u);
    EXPECT_EQ(traced("tool"), std::vector<std::string>{"ping 192.168.1.50 unreachable"});
}

// A packet analyser reads the frames as what they are. Skipped where none is installed.
TEST_F(PingTest, APacketAnalyserReadsTheFramesAsArpAndNetbiosNameQueries) {
    std::filesystem::path tshark;
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string dir; std::getline(path, dir, ':') && tshark.empty();)
        if (std::filesystem::exists(std::filesystem::path(dir) / "tshark"))
            tshark = std::filesystem::path(dir) / "tshark";
    if (tshark.empty()) GTEST_SKIP() << "tshark is not installed";
    Host& host = machine.install();
    host.pcap().open("both.pcap");
    platform::processes().start({u"open", u"ping", u"-n 1 192.168.1.50", true, false});
    platform::processes().start({u"open", u"ping", u"-n 1 FILESERVER", true, false});
    host.pcap().close();
    const auto result = platform::testing::runProgram(
        {tshark, {"-r", "both.pcap", "-T", "fields", "-e", "_ws.col.Protocol", "-e", "_ws.col.Info"}, {}, {}});
    ASSERT_EQ(result.exitCode, 0);
    std::istringstream lines(result.standardOutput);
    std::vector<std::string> protocols;
    for (std::string line; std::getline(lines, line);) protocols.push_back(line.substr(0, line.find('\t')));
    EXPECT_EQ(protocols, (std::vector<std::string>{"ARP", "NBNS", "NBNS"})) << result.standardOutput;
    EXPECT_NE(result.standardOutput.find("Who has 192.168.1.50? Tell 192.168.1.20"), std::string::npos);
    EXPECT_NE(result.standardOutput.find("Name query NB FILESERVER<00>"), std::string::npos);
}

}  // namespace
}  // namespace kv::sim
