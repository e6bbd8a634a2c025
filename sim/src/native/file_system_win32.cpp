// The machine directory's file calls on Windows: CreateFileW with CREATE_NEW, FlushFileBuffers,
// MoveFileExW, GetFileInformationByHandle and LockFileEx.
#include <windows.h>

#include <algorithm>
#include <string>

#include "file_system.h"

namespace kv::sim::native {

namespace {

std::string narrow(const wchar_t* text, size_t length) {
    if (length == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

FileError errorOf(DWORD code) {
    FileError e;
    e.code = static_cast<int>(code);
    wchar_t* buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    e.text = buffer ? narrow(buffer, n) : "system error";
    if (buffer) LocalFree(buffer);
    while (!e.text.empty() && (e.text.back() == '\n' || e.text.back() == '\r' || e.text.back() == '.'))
        e.text.pop_back();
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            e.kind = FileError::Kind::DiskFull;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            e.kind = FileError::Kind::ReadOnly;
            break;
        default:
            e.kind = FileError::Kind::Other;
            break;
    }
    return e;
}

FileError lastError() { return errorOf(GetLastError()); }

uint64_t joined(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

FileStamp stampFrom(const BY_HANDLE_FILE_INFORMATION& info) {
    FileStamp s;
    s.exists = true;
    s.device = info.dwVolumeSerialNumber;
    s.id = joined(info.nFileIndexHigh, info.nFileIndexLow);
    s.size = joined(info.nFileSizeHigh, info.nFileSizeLow);
    s.modified = joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    s.changed = joined(info.ftCreationTime.dwHighDateTime, info.ftCreationTime.dwLowDateTime);
    return s;
}

// A handle closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) CloseHandle(h_);
    }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

// Every open shares reading, writing and deleting, so that a writer can always rename over it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WindowsNewFile : public NewFile {
public:
    explicit WindowsNewFile(HANDLE h) : h_(h) {}
    FileError write(std::span<const uint8_t> bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
            DWORD written = 0;
            if (!WriteFile(h_.get(), bytes.data() + done, chunk, &written, nullptr)) return lastError();
            done += written;
        }
        return {};
    }
    FileError flush() override { return FlushFileBuffers(h_.get()) ? FileError{} : lastError(); }

private:
    Handle h_;
};

class WindowsFileLock : public FileLock {
public:
    explicit WindowsFileLock(HANDLE h) : h_(h) {}
    FileError lock(bool exclusive) override {
        OVERLAPPED at{};
        if (!LockFileEx(h_.get(), exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, MAXDWORD, MAXDWORD, &at))
            return lastError();
        return {};
    }
    void unlock() override {
        OVERLAPPED at{};
        UnlockFileEx(h_.get(), 0, MAXDWORD, MAXDWORD, &at);
    }

private:
    Handle h_;
};

}  // namespace

FileStamp stampOf(const std::filesystem::path& path) {
    Handle h(CreateFileW(path.wstring().c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.valid() || !GetFileInformationByHandle(h.get(), &info)) return {};
    return stampFrom(info);
}

FileError readFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes, FileStamp* stamp) {
    bytes->clear();
    *stamp = {};
    Handle h(CreateFileW(path.wstring().c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr));
    if (!h.valid()) return lastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h.get(), &info)) return lastError();
    *stamp = stampFrom(info);
    uint8_t buffer[16384];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) return lastError();
        if (n == 0) return {};
        bytes->insert(bytes->end(), buffer, buffer + n);
    }
}

std::unique_ptr<NewFile> createNewFile(const std::filesystem::path& path, FileError* error) {
    HANDLE h =
        CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = lastError();
        return nullptr;
    }
    return std::make_unique<WindowsNewFile>(h);
}

FileError replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    // A reader that opened the target without sharing its deletion holds the rename up for a moment.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.wstring().c_str(), to.wstring().c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        const DWORD code = GetLastError();
        if ((code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED) || attempt == 50) return errorOf(code);
        Sleep(2);
    }
}

uint32_t currentProcessId() { return GetCurrentProcessId(); }

std::unique_ptr<FileLock> openFileLock(const std::filesystem::path& path, FileError* error) {
    HANDLE h = CreateFileW(path.wstring().c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileW(path.wstring().c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = lastError();
        return nullptr;
    }
    return std::make_unique<WindowsFileLock>(h);
}

}  // namespace kv::sim::native
