// Local sockets on a Windows host. Windows gained Unix-domain sockets only late (and wine lacks
// them), so a listener takes a loopback TCP port instead and writes it, with a random key, into
// the file at its path; a sender reads the file, connects to the port and sends the key before
// the record, so that a stale file naming a port some other program took since delivers nothing
// there. The listener thread waits in accept; closing the socket ends the wait.
#include <windows.h>
#include <winsock2.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "local_socket.h"
#include "socket_io.h"

namespace kv::platform::native {

namespace {

bool startSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

// Owns a socket.
class Socket {
public:
    explicit Socket(SOCKET s = INVALID_SOCKET) : s_(s) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept : s_(other.s_) { other.s_ = INVALID_SOCKET; }
    ~Socket() { close(); }
    SOCKET get() const { return s_; }
    bool valid() const { return s_ != INVALID_SOCKET; }
    void close() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
        s_ = INVALID_SOCKET;
    }

private:
    SOCKET s_;
};

// What the file at a listener's path holds.
struct Endpoint {
    uint16_t port = 0;
    uint64_t key = 0;
};

bool writeEndpoint(const std::filesystem::path& path, const Endpoint& endpoint) {
    std::error_code ec;
    std::filesystem::path partial = path;
    partial += ".new";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        char text[48];
        std::snprintf(text, sizeof text, "%u %016" PRIx64 "\n", endpoint.port, endpoint.key);
        if (!(file << text)) return false;
    }
    std::filesystem::rename(partial, path, ec);
    return !ec;
}

std::optional<Endpoint> readEndpoint(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    char text[48] = {};
    if (!file.read(text, sizeof text - 1) && file.gcount() == 0) return std::nullopt;
    unsigned port = 0;
    Endpoint endpoint;
    if (std::sscanf(text, "%u %" SCNx64, &port, &endpoint.key) != 2 || port == 0 || port > 0xFFFF) return std::nullopt;
    endpoint.port = static_cast<uint16_t>(port);
    return endpoint;
}

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

bool readAll(SOCKET s, uint8_t* data, size_t size) {
    return moveAll(size, [&](size_t done) {
        return recv(s, reinterpret_cast<char*>(data + done), static_cast<int>(size - done), 0);
    });
}

class Win32Listener : public LocalListener {
public:
    Win32Listener(std::filesystem::path path, Socket socket, uint64_t key, size_t recordSize,
                  LocalRecordHandler handler)
        : path_(std::move(path)),
          socket_(std::move(socket)),
          key_(key),
          recordSize_(recordSize),
          handler_(std::move(handler)) {
        thread_ = std::thread([this] { run(); });
    }
    ~Win32Listener() override {
        socket_.close();
        thread_.join();
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }

private:
    void run() {
        std::vector<uint8_t> record(recordSize_);
        for (;;) {
            const Socket connection(accept(socket_.get(), nullptr, nullptr));
            if (!connection.valid()) return;
            uint64_t key = 0;
            if (!readAll(connection.get(), reinterpret_cast<uint8_t*>(&key), sizeof key) || key != key_) continue;
            if (readAll(connection.get(), record.data(), record.size())) handler_(record);
        }
    }

    std::filesystem::path path_;
    Socket socket_;
    uint64_t key_;
    size_t recordSize_;
    LocalRecordHandler handler_;
    std::thread thread_;
};

}  // namespace

std::filesystem::path localSocketFolder() {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec) / "kelva-desktop";
    std::filesystem::create_directories(folder, ec);
    return folder;
}

std::unique_ptr<LocalListener> listenAt(const std::filesystem::path& path, size_t recordSize,
                                        LocalRecordHandler handler) {
    if (!startSockets()) return nullptr;
    Socket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket.valid()) return nullptr;
    sockaddr_in address = loopback(0);
    int length = sizeof address;
    if (bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket.get(), 16) != 0 || getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return nullptr;
    std::random_device random;
    const Endpoint endpoint{ntohs(address.sin_port), (uint64_t{random()} << 32) | random()};
    if (!writeEndpoint(path, endpoint)) return nullptr;
    return std::make_unique<Win32Listener>(path, std::move(socket), endpoint.key, recordSize, std::move(handler));
}

bool sendTo(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    const auto endpoint = readEndpoint(path);
    if (!endpoint || !startSockets()) return false;
    const Socket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket.valid()) return false;
    const sockaddr_in address = loopback(endpoint->port);
    if (connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;
    std::vector<uint8_t> message(sizeof endpoint->key);
    std::memcpy(message.data(), &endpoint->key, sizeof endpoint->key);
    message.insert(message.end(), bytes.begin(), bytes.end());
    return moveAll(message.size(), [&](size_t done) {
        return send(socket.get(), reinterpret_cast<const char*>(message.data() + done),
                    static_cast<int>(message.size() - done), 0);
    });
}

}  // namespace kv::platform::native
