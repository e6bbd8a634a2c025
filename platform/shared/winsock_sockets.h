// Windows Sockets on Winsock itself, shared by the Windows backend and by the simulated host when
// it runs on Windows. Handles are Winsock's SOCKETs.
#pragma once

#include <winsock2.h>

#include <algorithm>
#include <cstring>

#include "kv/platform/sockets.h"

namespace kv::platform {

class WinsockSockets : public Sockets {
public:
    int startup(uint16_t version) override {
        WSADATA data;
        return WSAStartup(version, &data);
    }
    int cleanup() override { return WSACleanup(); }

    SocketHandle tcpSocket() override {
        const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        return s == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(s);
    }

    int bind(SocketHandle socket, const SocketAddress& local) override {
        const sockaddr_in a = native(local);
        return ::bind(handle(socket), reinterpret_cast<const sockaddr*>(&a), sizeof a);
    }

    int listen(SocketHandle socket, int backlog) override { return ::listen(handle(socket), backlog); }

    SocketHandle accept(SocketHandle socket, SocketAddress* peer) override {
        sockaddr_in a{};
        int length = sizeof a;
        const SOCKET s = ::accept(handle(socket), reinterpret_cast<sockaddr*>(&a), &length);
        if (s == INVALID_SOCKET) return kInvalidSocket;
        if (peer) *peer = fromNative(a);
        return static_cast<SocketHandle>(s);
    }

    int connect(SocketHandle socket, const SocketAddress& remote) override {
        const sockaddr_in a = native(remote);
        return ::connect(handle(socket), reinterpret_cast<const sockaddr*>(&a), sizeof a);
    }

    int send(SocketHandle socket, std::span<const uint8_t> data) override {
        return ::send(handle(socket), reinterpret_cast<const char*>(data.data()), length(data.size()), 0);
    }

    int receive(SocketHandle socket, std::span<uint8_t> buffer) override {
        return ::recv(handle(socket), reinterpret_cast<char*>(buffer.data()), length(buffer.size()), 0);
    }

    int setReceiveTimeout(SocketHandle socket, uint32_t ms) override { return timeout(socket, SO_RCVTIMEO, ms); }
    int setSendTimeout(SocketHandle socket, uint32_t ms) override { return timeout(socket, SO_SNDTIMEO, ms); }

    int shutdown(SocketHandle socket, ShutdownHow how) override {
        return ::shutdown(handle(socket), static_cast<int>(how));
    }
    int close(SocketHandle socket) override { return ::closesocket(handle(socket)); }
    uint32_t lastError() override { return static_cast<uint32_t>(WSAGetLastError()); }

private:
    static SOCKET handle(SocketHandle s) { return static_cast<SOCKET>(s); }
    static int length(size_t n) { return static_cast<int>(std::min<size_t>(n, 0x7FFFFFFF)); }

    static sockaddr_in native(const SocketAddress& s) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(s.port);
        std::memcpy(&a.sin_addr, s.address.data(), 4);
        return a;
    }
    static SocketAddress fromNative(const sockaddr_in& a) {
        SocketAddress s;
        std::memcpy(s.address.data(), &a.sin_addr, 4);
        s.port = ntohs(a.sin_port);
        return s;
    }

    int timeout(SocketHandle socket, int option, uint32_t ms) {
        const DWORD value = ms;
        return ::setsockopt(handle(socket), SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value);
    }
};

}  // namespace kv::platform
