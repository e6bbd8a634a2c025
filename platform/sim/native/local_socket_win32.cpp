// Local sockets on a Windows host: Windows Sockets with the Unix-domain address family. The
// listener thread waits in accept; closing the socket ends the wait.
#include <winsock2.h>
// afunix.h relies on the types of winsock2.h.
#include <afunix.h>
#include <windows.h>

#include <cstring>
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

bool readAll(SOCKET s, uint8_t* data, size_t size) {
    return moveAll(size, [&](size_t done) {
        return recv(s, reinterpret_cast<char*>(data + done), static_cast<int>(size - done), 0);
    });
}

class Win32Listener : public LocalListener {
public:
    Win32Listener(std::filesystem::path path, Socket socket, size_t recordSize, LocalRecordHandler handler)
        : path_(std::move(path)), socket_(std::move(socket)), recordSize_(recordSize), handler_(std::move(handler)) {
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
            if (readAll(connection.get(), record.data(), record.size())) handler_(record);
        }
    }

    std::filesystem::path path_;
    Socket socket_;
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
    sockaddr_un address{};
    if (!startSockets() || !fillSocketAddress(path, &address, AF_UNIX)) return nullptr;
    Socket socket(::socket(AF_UNIX, SOCK_STREAM, 0));
    if (!socket.valid()) return nullptr;
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(socket.get(), 16) != 0)
        return nullptr;
    return std::make_unique<Win32Listener>(path, std::move(socket), recordSize, std::move(handler));
}

bool sendTo(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    sockaddr_un address{};
    if (!startSockets() || !fillSocketAddress(path, &address, AF_UNIX)) return false;
    const Socket socket(::socket(AF_UNIX, SOCK_STREAM, 0));
    if (!socket.valid()) return false;
    if (connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return false;
    return moveAll(bytes.size(), [&](size_t done) {
        return send(socket.get(), reinterpret_cast<const char*>(bytes.data() + done),
                    static_cast<int>(bytes.size() - done), 0);
    });
}

}  // namespace kv::platform::native
