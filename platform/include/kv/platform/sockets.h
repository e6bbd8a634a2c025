// Windows Sockets, as far as the suite uses them: TCP over IPv4. Calls answer as Winsock does
// (0, a socket or a byte count on success; kSocketError or kInvalidSocket on failure), and the
// failure's Windows Sockets error number (WSAE...) is then read with lastError().
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kv::platform {

using SocketHandle = uintptr_t;
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle(0);
inline constexpr int kSocketError = -1;

// Windows Sockets error numbers.
namespace wsa {
inline constexpr uint32_t kInterrupted = 10004;
inline constexpr uint32_t kBadHandle = 10009;
inline constexpr uint32_t kFault = 10014;
inline constexpr uint32_t kInvalidArgument = 10022;
inline constexpr uint32_t kTooManyOpenSockets = 10024;
inline constexpr uint32_t kWouldBlock = 10035;
inline constexpr uint32_t kInProgress = 10036;
inline constexpr uint32_t kAlready = 10037;
inline constexpr uint32_t kNotSocket = 10038;
inline constexpr uint32_t kMessageSize = 10040;
inline constexpr uint32_t kAddressFamilyNotSupported = 10047;
inline constexpr uint32_t kAddressInUse = 10048;
inline constexpr uint32_t kAddressNotAvailable = 10049;
inline constexpr uint32_t kNetworkUnreachable = 10051;
inline constexpr uint32_t kConnectionAborted = 10053;
inline constexpr uint32_t kConnectionReset = 10054;
inline constexpr uint32_t kNoBufferSpace = 10055;
inline constexpr uint32_t kIsConnected = 10056;
inline constexpr uint32_t kNotConnected = 10057;
inline constexpr uint32_t kShutdown = 10058;
inline constexpr uint32_t kTimedOut = 10060;
inline constexpr uint32_t kConnectionRefused = 10061;
inline constexpr uint32_t kHostUnreachable = 10065;
inline constexpr uint32_t kNotInitialised = 10093;
}  // namespace wsa

// An IPv4 address in dotted order and a port.
struct SocketAddress {
    std::array<uint8_t, 4> address{};
    uint16_t port = 0;
    bool operator==(const SocketAddress&) const = default;
};

// shutdown's SD_RECEIVE, SD_SEND, SD_BOTH.
enum class ShutdownHow : int { Receive = 0, Send = 1, Both = 2 };

class Sockets {
public:
    virtual ~Sockets() = default;
    // WSAStartup with the version asked for (0x0101 for 1.1): 0 or a Windows Sockets error.
    virtual int startup(uint16_t version) = 0;
    // WSACleanup.
    virtual int cleanup() = 0;
    // socket(AF_INET, SOCK_STREAM, IPPROTO_TCP).
    virtual SocketHandle tcpSocket() = 0;
    virtual int bind(SocketHandle socket, const SocketAddress& local) = 0;
    virtual int listen(SocketHandle socket, int backlog) = 0;
    // The peer's address in *peer when it is not null.
    virtual SocketHandle accept(SocketHandle socket, SocketAddress* peer) = 0;
    virtual int connect(SocketHandle socket, const SocketAddress& remote) = 0;
    // Bytes sent or received; a receive of 0 bytes is the peer's orderly close.
    virtual int send(SocketHandle socket, std::span<const uint8_t> data) = 0;
    virtual int receive(SocketHandle socket, std::span<uint8_t> buffer) = 0;
    // SO_RCVTIMEO and SO_SNDTIMEO in milliseconds (0: wait for ever). A call that runs out of
    // time fails with WSAETIMEDOUT.
    virtual int setReceiveTimeout(SocketHandle socket, uint32_t ms) = 0;
    virtual int setSendTimeout(SocketHandle socket, uint32_t ms) = 0;
    virtual int shutdown(SocketHandle socket, ShutdownHow how) = 0;
    // closesocket.
    virtual int close(SocketHandle socket) = 0;
    // WSAGetLastError: the error of the calling thread's last failed call.
    virtual uint32_t lastError() = 0;
};

Sockets& sockets();

}  // namespace kv::platform
