// Windows Sockets on the simulated host: two simulated computers exchanging data over the mapped
// loopback addresses, binds limited to the machine's own addresses, Winsock's error numbers.
#include "kv/platform/sockets.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/machine_directory.h"

namespace kv::sim {
namespace {

using platform::kInvalidSocket;
using platform::kSocketError;
using platform::SocketAddress;
using platform::SocketHandle;
using testing::MachineBuilder;
using testing::MachineDirectory;
using testing::traced;

constexpr uint16_t kPort = 7777;

MachineBuilder machineWith(const char* address) {
    MachineBuilder m;
    m.addAdapter().set("ip.address", Json(address)).set("ip.mask", Json("255.255.255.0"));
    return m;
}

class SocketsTest : public ::testing::Test {
protected:
    void TearDown() override {
        while (net.cleanup() == 0) {
        }
    }
    platform::Sockets& net = platform::sockets();
};

TEST_F(SocketsTest, AResponderAndAnInitiatorOnTwoMachinesExchangeData) {
    machineWith("192.168.77.1").install();
    ASSERT_EQ(net.startup(0x0101), 0);
    const SocketHandle listener = net.tcpSocket();
    ASSERT_NE(listener, kInvalidSocket);
    ASSERT_EQ(net.bind(listener, SocketAddress{{192, 168, 77, 1}, kPort}), 0);
    ASSERT_EQ(net.listen(listener, 2), 0);

    // The responder echoes every block until the initiator closes.
    int echoed = 0;
    SocketAddress peer;
    std::thread responder([&] {
        const SocketHandle c = net.accept(listener, &peer);
        if (c == kInvalidSocket) return;
        std::vector<uint8_t> buffer(2048);
        for (int n; (n = net.receive(c, buffer)) > 0; ++echoed)
            net.send(c, std::span<const uint8_t>(buffer.data(), static_cast<size_t>(n)));
        net.close(c);
    });
    const MachineDirectory initiator(machineWith("192.168.77.2"));
    const auto run = initiator.run(KV_SOCKET_INITIATOR, {"192.168.77.1", "7777", "5"});
    // Wakes the responder's accept should the initiator never have connected.
    net.shutdown(listener, platform::ShutdownHow::Both);
    responder.join();
    net.close(listener);

    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "sent 5 received 5\n");
    EXPECT_GE(echoed, 5);
    EXPECT_EQ(peer.address, (std::array<uint8_t, 4>{192, 168, 77, 2})) << "the peer seen as its simulated address";
    EXPECT_EQ(run.traced("socket"), (std::vector<std::string>{"startup ok", "connect 192.168.77.1:7777 ok"}));
    const auto here = traced("socket");
    ASSERT_GE(here.size(), 4u);
    EXPECT_EQ(here[1], "bind 192.168.77.1:7777 ok");
    EXPECT_EQ(here[3].rfind("accept 192.168.77.2:", 0), 0u) << here[3];
}

TEST_F(SocketsTest, ABindNeedsAnAddressTheMachineHasNow) {
    MachineBuilder m = machineWith("192.168.13.1");
    m.addAdapter().set("ip.address", Json("192.168.13.7")).set("present", Json(false));
    Host& host = m.install();
    ASSERT_EQ(net.startup(0x0101), 0);
    struct Case {
        std::array<uint8_t, 4> address;
        int result;
    };
    for (const auto& c : {Case{{192, 168, 13, 1}, 0}, Case{{192, 168, 13, 2}, kSocketError},
                          Case{{192, 168, 13, 7}, kSocketError} /* its adapter is away */,
                          Case{{0, 0, 0, 0}, kSocketError}, Case{{127, 0, 0, 1}, kSocketError}}) {
        SCOPED_TRACE(static_cast<int>(c.address[3]));
        const SocketHandle s = net.tcpSocket();
        EXPECT_EQ(net.bind(s, SocketAddress{c.address, 0}), c.result);
        if (c.result) {
            EXPECT_EQ(net.lastError(), platform::wsa::kAddressNotAvailable);
        }
        net.close(s);
    }
    // The adapter's new address counts once it has it.
    host.machine().adapters[0]->ip.address = "192.168.13.9";
    const SocketHandle s = net.tcpSocket();
    EXPECT_EQ(net.bind(s, SocketAddress{{192, 168, 13, 1}, 0}), kSocketError);
    EXPECT_EQ(net.bind(s, SocketAddress{{192, 168, 13, 9}, 0}), 0);
    net.close(s);
}

TEST_F(SocketsTest, FailuresCarryWinsockErrorNumbers) {
    machineWith("192.168.14.2").install();
    EXPECT_EQ(net.tcpSocket(), kInvalidSocket) << "before WSAStartup";
    EXPECT_EQ(net.lastError(), platform::wsa::kNotInitialised);
    EXPECT_EQ(net.startup(0x0000), 10092);

    ASSERT_EQ(net.startup(0x0101), 0);
    SocketHandle s = net.tcpSocket();
    EXPECT_EQ(net.connect(s, SocketAddress{{192, 168, 14, 9}, kPort}), kSocketError) << "nobody listens";
    EXPECT_EQ(net.lastError(), platform::wsa::kConnectionRefused);
    net.close(s);
    s = net.tcpSocket();
    std::vector<uint8_t> buffer(16);
    EXPECT_EQ(net.receive(s, buffer), kSocketError);
    EXPECT_EQ(net.lastError(), platform::wsa::kNotConnected);
    net.close(s);
    EXPECT_EQ(net.cleanup(), 0);
    EXPECT_EQ(net.cleanup(), kSocketError);
    EXPECT_EQ(net.lastError(), platform::wsa::kNotInitialised);
}

}  // namespace
}  // namespace kv::sim
