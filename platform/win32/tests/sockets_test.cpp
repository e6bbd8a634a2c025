// Windows Sockets through the Windows backend on the system itself: a connection over the
// loopback address, and Winsock's own error numbers for the failures.
#include "kv/platform/sockets.h"

#include <vector>

#include "win32_test_support.h"

namespace kv::test {
namespace {

using namespace platform;

constexpr uint16_t kPort = 38888;
constexpr std::array<uint8_t, 4> kLoopback{127, 0, 0, 1};

class SocketsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(net.startup(0x0101), 0); }
    void TearDown() override { net.cleanup(); }
    Sockets& net = sockets();
};

TEST_F(SocketsTest, AConnectionCarriesDataBothWays) {
    const SocketHandle listener = net.tcpSocket();
    ASSERT_NE(listener, kInvalidSocket) << net.lastError();
    ASSERT_EQ(net.bind(listener, SocketAddress{kLoopback, kPort}), 0) << net.lastError();
    ASSERT_EQ(net.listen(listener, 2), 0);
    const SocketHandle client = net.tcpSocket();
    ASSERT_EQ(net.setReceiveTimeout(client, 2000), 0);
    ASSERT_EQ(net.setSendTimeout(client, 2000), 0);
    // The backlog takes the connection before the accept.
    ASSERT_EQ(net.connect(client, SocketAddress{kLoopback, kPort}), 0) << net.lastError();
    SocketAddress peer;
    const SocketHandle server = net.accept(listener, &peer);
    ASSERT_NE(server, kInvalidSocket) << net.lastError();
    EXPECT_EQ(peer.address, kLoopback);

    const std::vector<uint8_t> message{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(net.send(client, message), 10);
    std::vector<uint8_t> buffer(2048);
    ASSERT_EQ(net.receive(server, buffer), 10);
    EXPECT_TRUE(std::equal(message.begin(), message.end(), buffer.begin()));
    ASSERT_EQ(net.shutdown(server, ShutdownHow::Both), 0);
    EXPECT_EQ(net.receive(client, buffer), 0) << "the peer's orderly close";
    for (SocketHandle s : {server, client, listener}) EXPECT_EQ(net.close(s), 0);
}

TEST_F(SocketsTest, FailuresCarryWinsockErrorNumbers) {
    const SocketHandle s = net.tcpSocket();
    std::vector<uint8_t> buffer(16);
    EXPECT_EQ(net.receive(s, buffer), kSocketError);
    EXPECT_EQ(net.lastError(), wsa::kNotConnected);
    EXPECT_EQ(net.connect(s, SocketAddress{kLoopback, kPort + 1}), kSocketError) << "nobody listens";
    EXPECT_EQ(net.lastError(), wsa::kConnectionRefused);
    EXPECT_EQ(net.close(s), 0);
    EXPECT_EQ(net.close(s), kSocketError);
    EXPECT_EQ(net.lastError(), wsa::kNotSocket);
}

}  // namespace
}  // namespace kv::test
