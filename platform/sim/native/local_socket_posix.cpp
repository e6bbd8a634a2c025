// Local sockets on a POSIX system: Unix-domain stream sockets, a listener thread waiting in poll
// on the socket and on a pipe that wakes it for the end.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "local_socket.h"
#include "socket_io.h"

namespace kv::platform::native {

namespace {

// Owns a file descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = other.release();
        }
        return *this;
    }
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Moves the whole buffer through send or recv, retrying after interruptions.
template <typename Call>
bool moveAllRetrying(size_t size, Call&& call) {
    return moveAll(size, [&](size_t done) {
        ssize_t n;
        do n = call(done);
        while (n < 0 && errno == EINTR);
        return n;
    });
}

bool writeAll(int fd, std::span<const uint8_t> bytes) {
    return moveAllRetrying(
        bytes.size(), [&](size_t done) { return ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL); });
}

bool readAll(int fd, uint8_t* data, size_t size) {
    return moveAllRetrying(size, [&](size_t done) { return ::recv(fd, data + done, size - done, 0); });
}

class PosixListener : public LocalListener {
public:
    PosixListener(std::filesystem::path path, Fd socket, size_t recordSize, LocalRecordHandler handler)
        : path_(std::move(path)), socket_(std::move(socket)), recordSize_(recordSize), handler_(std::move(handler)) {
        struct stat st {};
        if (::stat(path_.c_str(), &st) == 0) inode_ = st.st_ino;
        int fds[2];
        if (::pipe(fds) == 0) {
            wakeRead_ = Fd(fds[0]);
            wakeWrite_ = Fd(fds[1]);
        }
        thread_ = std::thread([this] { run(); });
    }

    ~PosixListener() override {
        const char stop = 0;
        if (wakeWrite_.valid()) {
            [[maybe_unused]] const ssize_t n = ::write(wakeWrite_.get(), &stop, 1);
        }
        thread_.join();
        // Removes the path unless another listener has taken it over since.
        struct stat st {};
        if (::stat(path_.c_str(), &st) == 0 && st.st_ino == inode_) ::unlink(path_.c_str());
    }

private:
    void run() {
        std::vector<uint8_t> record(recordSize_);
        for (;;) {
            pollfd fds[2] = {{socket_.get(), POLLIN, 0}, {wakeRead_.get(), POLLIN, 0}};
            if (::poll(fds, wakeRead_.valid() ? 2 : 1, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[1].revents != 0) return;
            if ((fds[0].revents & POLLIN) == 0) continue;
            const Fd connection(::accept(socket_.get(), nullptr, nullptr));
            if (!connection.valid()) continue;
            if (readAll(connection.get(), record.data(), record.size())) handler_(record);
        }
    }

    std::filesystem::path path_;
    Fd socket_;
    size_t recordSize_;
    LocalRecordHandler handler_;
    ino_t inode_ = 0;
    Fd wakeRead_, wakeWrite_;
    std::thread thread_;
};

}  // namespace

std::filesystem::path localSocketFolder() {
    std::error_code ec;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path(ec) / ("kelva-desktop-" + std::to_string(::getuid()));
    std::filesystem::create_directories(folder, ec);
    ::chmod(folder.c_str(), 0700);
    return folder;
}

std::unique_ptr<LocalListener> listenAt(const std::filesystem::path& path, size_t recordSize,
                                        LocalRecordHandler handler) {
    sockaddr_un address{};
    if (!fillSocketAddress(path, &address, AF_UNIX)) return nullptr;
    Fd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) return nullptr;
    ::unlink(path.c_str());
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(socket.get(), 16) != 0)
        return nullptr;
    return std::make_unique<PosixListener>(path, std::move(socket), recordSize, std::move(handler));
}

bool sendTo(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    sockaddr_un address{};
    if (!fillSocketAddress(path, &address, AF_UNIX)) return false;
    const Fd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) return false;
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return false;
    return writeAll(socket.get(), bytes);
}

}  // namespace kv::platform::native
