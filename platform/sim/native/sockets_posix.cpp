// The host's sockets on a POSIX system: BSD sockets, with errno translated into the Windows
// Sockets error numbers and the calling thread's last error kept as Winsock keeps it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sockets.h"

namespace kv::platform::native {

namespace {

thread_local uint32_t lastSocketError = 0;

uint32_t windowsError(int error) {
    switch (error) {
        case EINTR:
            return wsa::kInterrupted;
        case EBADF:
        case ENOTSOCK:
            return wsa::kNotSocket;
        case EFAULT:
            return wsa::kFault;
        case EMFILE:
        case ENFILE:
            return wsa::kTooManyOpenSockets;
        case EAGAIN:  // a receive or send time-out ran out
            return wsa::kTimedOut;
        case EINPROGRESS:
            return wsa::kInProgress;
        case EALREADY:
            return wsa::kAlready;
        case EMSGSIZE:
            return wsa::kMessageSize;
        case EAFNOSUPPORT:
            return wsa::kAddressFamilyNotSupported;
        case EADDRINUSE:
            return wsa::kAddressInUse;
        case EADDRNOTAVAIL:
            return wsa::kAddressNotAvailable;
        case ENETUNREACH:
            return wsa::kNetworkUnreachable;
        case ECONNABORTED:
            return wsa::kConnectionAborted;
        case ECONNRESET:
        case EPIPE:
            return wsa::kConnectionReset;
        case ENOBUFS:
        case ENOMEM:
            return wsa::kNoBufferSpace;
        case EISCONN:
            return wsa::kIsConnected;
        case ENOTCONN:
            return wsa::kNotConnected;
        case ETIMEDOUT:
            return wsa::kTimedOut;
        case ECONNREFUSED:
            return wsa::kConnectionRefused;
        case EHOSTUNREACH:
            return wsa::kHostUnreachable;
        default:
            return wsa::kInvalidArgument;
    }
}

// A call's result, with the thread's last error set from errno when it failed.
template <typename T>
T checked(T result, T failure) {
    if (result == failure) lastSocketError = windowsError(errno);
    return result;
}
int checked(int result) { return checked(result, -1); }

sockaddr_in native(const SocketAddress& s) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(s.port);
    std::memcpy(&a.sin_addr, s.address.data(), 4);
    return a;
}

int fd(SocketHandle s) { return s > 0x7FFFFFFF ? -1 : static_cast<int>(s); }

class PosixSockets : public Sockets {
public:
    int startup(uint16_t) override { return 0; }
    int cleanup() override { return 0; }

    SocketHandle tcpSocket() override {
        const int s = checked(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        return s < 0 ? kInvalidSocket : static_cast<SocketHandle>(s);
    }

    int bind(SocketHandle socket, const SocketAddress& local) override {
        // A listener of an earlier run may leave its address waiting to close; Windows lets a new
        // listener have it, so does this.
        const int on = 1;
        ::setsockopt(fd(socket), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        const sockaddr_in a = native(local);
        return checked(::bind(fd(socket), reinterpret_cast<const sockaddr*>(&a), sizeof a));
    }

    int listen(SocketHandle socket, int backlog) override { return checked(::listen(fd(socket), backlog)); }

    SocketHandle accept(SocketHandle socket, SocketAddress* peer) override {
        sockaddr_in a{};
        socklen_t length = sizeof a;
        const int s = checked(::accept(fd(socket), reinterpret_cast<sockaddr*>(&a), &length));
        if (s < 0) return kInvalidSocket;
        if (peer) {
            std::memcpy(peer->address.data(), &a.sin_addr, 4);
            peer->port = ntohs(a.sin_port);
        }
        return static_cast<SocketHandle>(s);
    }

    int connect(SocketHandle socket, const SocketAddress& remote) override {
        const sockaddr_in a = native(remote);
        return checked(::connect(fd(socket), reinterpret_cast<const sockaddr*>(&a), sizeof a));
    }

    int send(SocketHandle socket, std::span<const uint8_t> data) override {
        // A peer gone away is an error of the call, never a signal that ends the process.
        return static_cast<int>(checked(::send(fd(socket), data.data(), data.size(), MSG_NOSIGNAL), ssize_t{-1}));
    }

    int receive(SocketHandle socket, std::span<uint8_t> buffer) override {
        return static_cast<int>(checked(::recv(fd(socket), buffer.data(), buffer.size(), 0), ssize_t{-1}));
    }

    int setReceiveTimeout(SocketHandle socket, uint32_t ms) override { return timeout(socket, SO_RCVTIMEO, ms); }
    int setSendTimeout(SocketHandle socket, uint32_t ms) override { return timeout(socket, SO_SNDTIMEO, ms); }

    int shutdown(SocketHandle socket, ShutdownHow how) override {
        const int mode = how == ShutdownHow::Receive ? SHUT_RD : how == ShutdownHow::Send ? SHUT_WR : SHUT_RDWR;
        return checked(::shutdown(fd(socket), mode));
    }

    int close(SocketHandle socket) override { return checked(::close(fd(socket))); }
    uint32_t lastError() override { return lastSocketError; }

private:
    static int timeout(SocketHandle socket, int option, uint32_t ms) {
        timeval value{};
        value.tv_sec = static_cast<time_t>(ms / 1000);
        value.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
        return checked(::setsockopt(fd(socket), SOL_SOCKET, option, &value, sizeof value));
    }
};

}  // namespace

Sockets& hostSockets() {
    static PosixSockets instance;
    return instance;
}

}  // namespace kv::platform::native
