// The machine directory's file calls on a POSIX system: open with O_EXCL, fsync, rename, fstat
// and flock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "file_system.h"

namespace kv::sim::native {

namespace {

FileError errorOf(int code) {
    FileError e;
    e.code = code;
    e.text = std::strerror(code);
    switch (code) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            e.kind = FileError::Kind::DiskFull;
            break;
        case EROFS:
        case EACCES:
        case EPERM:
            e.kind = FileError::Kind::ReadOnly;
            break;
        default:
            e.kind = FileError::Kind::Other;
            break;
    }
    return e;
}

FileError lastError() { return errorOf(errno); }

FileStamp stampFrom(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.device = static_cast<uint64_t>(st.st_dev);
    s.id = static_cast<uint64_t>(st.st_ino);
    s.size = static_cast<uint64_t>(st.st_size);
    s.modified = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
    s.changed = static_cast<uint64_t>(st.st_ctim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_ctim.tv_nsec);
    return s;
}

// A descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

class PosixNewFile : public NewFile {
public:
    explicit PosixNewFile(int fd) : fd_(fd) {}
    FileError write(std::span<const uint8_t> bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return lastError();
            done += static_cast<size_t>(n);
        }
        return {};
    }
    FileError flush() override {
        while (::fsync(fd_.get()) != 0)
            if (errno != EINTR) return lastError();
        return {};
    }

private:
    Fd fd_;
};

class PosixFileLock : public FileLock {
public:
    explicit PosixFileLock(int fd) : fd_(fd) {}
    FileError lock(bool exclusive) override {
        while (::flock(fd_.get(), exclusive ? LOCK_EX : LOCK_SH) != 0)
            if (errno != EINTR) return lastError();
        return {};
    }
    void unlock() override { ::flock(fd_.get(), LOCK_UN); }

private:
    Fd fd_;
};

}  // namespace

FileStamp stampOf(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return stampFrom(st);
}

FileError readFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes, FileStamp* stamp) {
    bytes->clear();
    *stamp = {};
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return lastError();
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return lastError();
    *stamp = stampFrom(st);
    uint8_t buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return lastError();
        if (n == 0) return {};
        bytes->insert(bytes->end(), buffer, buffer + n);
    }
}

std::unique_ptr<NewFile> createNewFile(const std::filesystem::path& path, FileError* error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = lastError();
        return nullptr;
    }
    return std::make_unique<PosixNewFile>(fd);
}

FileError replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
    return {};
}

uint32_t currentProcessId() { return static_cast<uint32_t>(::getpid()); }

std::unique_ptr<FileLock> openFileLock(const std::filesystem::path& path, FileError* error) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A read-only directory that holds the lock file already can still be locked through it.
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = lastError();
        return nullptr;
    }
    return std::make_unique<PosixFileLock>(fd);
}

}  // namespace kv::sim::native
