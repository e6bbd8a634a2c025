#include "support/responder_double.h"

#include <span>
#include <vector>

#include "support/send_receive_support.h"

namespace kv::diag::testing {

namespace {

namespace net = kv::platform;
using kv::sim::Json;

constexpr size_t kBlock = 1400;

// Receives exactly buffer.size() bytes, whatever segments they come in.
bool receiveAll(net::SocketHandle c, std::span<uint8_t> buffer) {
    for (size_t got = 0; got < buffer.size();) {
        const int n = net::sockets().receive(c, buffer.subspan(got));
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

kv::sim::testing::MachineBuilder initiatorMachine() {
    kv::sim::testing::MachineBuilder machine = sendReceiveMachine("10.1.1.5", "255.0.0.0", "10.0.0.1", "10.0.0.53");
    machine.addAdapter(0x4450).set("ip.address", Json("192.168.12.1")).set("ip.mask", Json("255.255.255.0"));
    return machine;
}

ResponderDouble::ResponderDouble(Mode mode, int blocks) {
    net::sockets().startup(0x0101);
    listener_ = net::sockets().tcpSocket();
    net::sockets().bind(listener_, net::SocketAddress{{192, 168, 12, 1}, 8888});
    net::sockets().listen(listener_, 2);
    thread_ = std::thread([this, mode, blocks] { serve(mode, blocks); });
}

ResponderDouble::~ResponderDouble() {
    net::sockets().shutdown(listener_, net::ShutdownHow::Both);
    if (const net::SocketHandle c = connection_.load(); c != net::kInvalidSocket)
        net::sockets().shutdown(c, net::ShutdownHow::Both);
    thread_.join();
    net::sockets().close(listener_);
    net::sockets().cleanup();
}

void ResponderDouble::serve(Mode mode, int blocks) {
    const net::SocketHandle c = net::sockets().accept(listener_, nullptr);
    if (c == net::kInvalidSocket) return;
    connection_ = c;
    std::vector<uint8_t> first(kBlock), next(kBlock);
    const auto half = [&first](size_t from) { return std::span<const uint8_t>(first.data() + from, kBlock / 2); };
    switch (mode) {
        case Mode::EchoThenClose:
            for (int i = 0; i < blocks && receiveAll(c, first); ++i) net::sockets().send(c, first);
            receiveAll(c, next);
            break;
        case Mode::SplitEcho:
            if (!receiveAll(c, first)) break;
            net::sockets().send(c, half(0));
            if (receiveAll(c, next)) net::sockets().send(c, half(kBlock / 2));
            while (receiveAll(c, next)) {
            }
            break;
        case Mode::EchoUntilClosed:
            while (receiveAll(c, first)) net::sockets().send(c, first);
            break;
    }
    net::sockets().shutdown(c, net::ShutdownHow::Both);
    connection_ = net::kInvalidSocket;
    net::sockets().close(c);
}

}  // namespace kv::diag::testing
