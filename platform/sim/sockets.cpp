// Windows Sockets on the simulated host: real TCP sockets of the system the host runs on, with
// every IPv4 address of the simulated network mapped onto the loopback network, a.b.c.d onto
// 127.b.c.d. Two programs on two machine directories, two simulated computers, so talk to each
// other on one computer, and no socket ever reaches beyond it.
//
// - A bind succeeds only for an address one of the machine's present adapters has at the time
//   (0.0.0.0 included: it fails with WSAEADDRNOTAVAIL).
// - A connect leaves from the adapter whose subnet holds the remote address (its socket is bound
//   to that adapter's mapped address first), so the peer sees the simulated sender; an accepted
//   peer's address is mapped back with the first number of the accepting adapter's subnet.
// - Every call before WSAStartup, or after the last WSACleanup, fails with WSANOTINITIALISED.
// - A time-out runs on the real clock, as the sockets are real. On the virtual clock it is
//   stretched (20 times, at least 2 s): there the simulated computers' own waits take no time, so
//   a short time-out would measure only how loaded the computer running them is.
// Binds, connects, listens and accepts are traced as "socket <call> <address:port> <ok|err=n>".
#include "kv/platform/sockets.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "kv/ipv4.h"
#include "kv/sim/host.h"
#include "kv/sim/tcpip_interfaces.h"
#include "native/sockets.h"

namespace kv::platform {

namespace {

using sim::Host;

constexpr uint32_t kVersionNotSupported = 10092;  // WSAVERNOTSUPPORTED
constexpr uint8_t kLoopbackNet = 127;
constexpr uint16_t kHostVersion = 0x0202;

thread_local uint32_t lastSocketError = 0;

SocketAddress toLoopback(SocketAddress a) {
    a.address[0] = kLoopbackNet;
    return a;
}

uint32_t realTimeout(uint32_t ms) {
    constexpr uint32_t kStretch = 20;
    constexpr uint32_t kShortest = 2000;
    if (ms == 0 || Host::get().clock().mode() != sim::SimClock::Mode::Virtual) return ms;
    return std::max(ms > UINT32_MAX / kStretch ? UINT32_MAX : ms * kStretch, kShortest);
}

std::string text(const SocketAddress& a) { return ipv4Text(a.address) + ":" + std::to_string(a.port); }

class SimSockets : public Sockets {
public:
    int startup(uint16_t version) override {
        Host::Call call(Host::get());
        const bool supported = (version & 0xFF) >= 1;
        call.host.trace().add(std::string("socket startup ") + (supported ? "ok" : "err=10092"));
        if (!supported) return static_cast<int>(kVersionNotSupported);
        // The host's own sockets need starting too where the host is Windows; its starts are
        // counted like ours, one host start for each.
        if (const int r = host().startup(kHostVersion); r != 0) return r;
        ++started_;
        return 0;
    }

    int cleanup() override {
        if (!ready()) return kSocketError;
        --started_;
        host().cleanup();
        return 0;
    }

    SocketHandle tcpSocket() override {
        if (!ready()) return kInvalidSocket;
        const SocketHandle s = host().tcpSocket();
        if (s == kInvalidSocket) lastSocketError = host().lastError();
        return s;
    }

    int bind(SocketHandle socket, const SocketAddress& local) override {
        if (!ready()) return kSocketError;
        bool owned = false;
        {
            Host::Call call(Host::get());
            for (const auto& a : sim::adapterAddresses(call.host.machine()))
                owned = owned || a.address == local.address;
            if (!owned) call.host.trace().add("socket bind " + text(local) + " err=10049");
        }
        if (!owned) return fail(wsa::kAddressNotAvailable);
        return traced("bind", local, host().bind(socket, toLoopback(local)));
    }

    int listen(SocketHandle socket, int backlog) override {
        if (!ready()) return kSocketError;
        return traced("listen", {}, host().listen(socket, backlog));
    }

    SocketHandle accept(SocketHandle socket, SocketAddress* peer) override {
        if (!ready()) return kInvalidSocket;
        SocketAddress from;
        const SocketHandle s = host().accept(socket, &from);
        if (s == kInvalidSocket) {
            traced("accept", {}, kSocketError);
            return s;
        }
        {
            Host::Call call(Host::get());
            for (const auto& a : sim::adapterAddresses(call.host.machine())) {
                Ipv4 candidate = from.address;
                candidate[0] = a.address[0];
                if (a.holds(candidate)) {
                    from.address = candidate;
                    break;
                }
            }
        }
        traced("accept", from, 0);
        if (peer) *peer = from;
        return s;
    }

    int connect(SocketHandle socket, const SocketAddress& remote) override {
        if (!ready()) return kSocketError;
        std::optional<SocketAddress> source;
        {
            Host::Call call(Host::get());
            for (const auto& a : sim::adapterAddresses(call.host.machine()))
                if (!source && a.holds(remote.address)) source = SocketAddress{a.address, 0};
        }
        if (source && host().bind(socket, toLoopback(*source)) == kSocketError) {
            lastSocketError = host().lastError();
            return traced("connect", remote, kSocketError);
        }
        return traced("connect", remote, host().connect(socket, toLoopback(remote)));
    }

    int send(SocketHandle socket, std::span<const uint8_t> data) override {
        return ready() ? result(host().send(socket, data)) : kSocketError;
    }
    int receive(SocketHandle socket, std::span<uint8_t> buffer) override {
        return ready() ? result(host().receive(socket, buffer)) : kSocketError;
    }
    int setReceiveTimeout(SocketHandle socket, uint32_t ms) override {
        return ready() ? result(host().setReceiveTimeout(socket, realTimeout(ms))) : kSocketError;
    }
    int setSendTimeout(SocketHandle socket, uint32_t ms) override {
        return ready() ? result(host().setSendTimeout(socket, realTimeout(ms))) : kSocketError;
    }
    int shutdown(SocketHandle socket, ShutdownHow how) override {
        return ready() ? result(host().shutdown(socket, how)) : kSocketError;
    }
    int close(SocketHandle socket) override { return ready() ? result(host().close(socket)) : kSocketError; }
    uint32_t lastError() override { return lastSocketError; }

private:
    static Sockets& host() { return native::hostSockets(); }

    bool ready() {
        if (started_ > 0) return true;
        lastSocketError = wsa::kNotInitialised;
        return false;
    }

    static int fail(uint32_t error) {
        lastSocketError = error;
        return kSocketError;
    }

    // A host call's result, its error kept as the thread's last one.
    static int result(int r) {
        if (r == kSocketError) lastSocketError = host().lastError();
        return r;
    }

    static int traced(const char* what, const SocketAddress& address, int r) {
        result(r);
        Host::Call call(Host::get());
        std::string line = std::string("socket ") + what;
        if (address.port || address.address != Ipv4{}) line += " " + text(address);
        call.host.trace().add(line + (r == kSocketError ? " err=" + std::to_string(lastSocketError) : " ok"));
        return r;
    }

    std::atomic<int> started_{0};
};

}  // namespace

Sockets& sockets() {
    static SimSockets instance;
    return instance;
}

}  // namespace kv::platform
