// A second simulated computer for the sockets tests: on its own machine directory it connects to
// the address and port given, sends `count` messages of 1400 bytes and checks that each one comes
// back. Prints "sent N received N" (or the failing call and its error) and exits with 0 when every
// echo matched, 1 when one did not, 2 for bad arguments.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kv/ipv4.h"
#include "kv/platform/sockets.h"

namespace {

using namespace kv::platform;

constexpr size_t kMessageBytes = 1400;

int failed(const char* call) {
    std::printf("%s failed with %u\n", call, static_cast<unsigned>(sockets().lastError()));
    return 1;
}

// Receives exactly buffer.size() bytes, whatever segments they come in.
bool receiveAll(SocketHandle s, std::span<uint8_t> buffer) {
    for (size_t got = 0; got < buffer.size();) {
        const int n = sockets().receive(s, buffer.subspan(got));
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const auto remote = kv::parseIpv4(std::string_view(argv[1]));
    const int port = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    if (!remote || port <= 0 || port > 65535 || count < 0) return 2;

    Sockets& net = sockets();
    if (net.startup(0x0101) != 0) return failed("startup");
    const SocketHandle s = net.tcpSocket();
    if (s == kInvalidSocket) return failed("socket");
    if (net.setReceiveTimeout(s, 5000) != 0) return failed("setsockopt");
    if (net.connect(s, SocketAddress{*remote, static_cast<uint16_t>(port)}) != 0) return failed("connect");
    int sent = 0;
    int received = 0;
    std::vector<uint8_t> message(kMessageBytes);
    std::vector<uint8_t> echo(kMessageBytes);
    for (int i = 0; i < count; ++i) {
        for (size_t k = 0; k < message.size(); ++k) message[k] = static_cast<uint8_t>(i * 7 + k);
        if (net.send(s, message) != static_cast<int>(message.size())) return failed("send");
        ++sent;
        if (!receiveAll(s, echo)) return failed("recv");
        if (echo != message) return failed("compare");
        ++received;
    }
    net.shutdown(s, ShutdownHow::Both);
    net.close(s);
    net.cleanup();
    std::printf("sent %d received %d\n", sent, received);
    return 0;
}
