// The device channel on the Windows API: the protocol driver's device opened exclusively for
// overlapped I/O, control requests that wait for their completion, and frame transfers that each
// own their OVERLAPPED and event.
#include "kv/platform/device_io.h"

#include "win32_util.h"

namespace kv::platform {

namespace {

using win32::UniqueHandle;

using CancelIoExFn = BOOL WINAPI(HANDLE, LPOVERLAPPED);

// Cancels one transfer: CancelIoEx where the system has it (Windows 6.0 on), else CancelIo,
// which cancels what the calling thread started on the handle.
void cancelTransfer(HANDLE file, OVERLAPPED* overlapped) {
    static CancelIoExFn* const cancelIoEx = win32::systemFunction<CancelIoExFn>(L"kernel32", "CancelIoEx");
    if (cancelIoEx) {
        cancelIoEx(file, overlapped);
    } else {
        CancelIo(file);
    }
}

class Win32Overlapped : public Overlapped {
public:
    enum class Direction { Read, Write };

    Win32Overlapped(HANDLE file, Direction direction, void* buffer, uint32_t length)
        : file_(file), event_(win32::newEvent()) {
        if (!event_) {
            fail(GetLastError());
            return;
        }
        overlapped_.hEvent = event_.get();
        const BOOL done = direction == Direction::Read ? ReadFile(file, buffer, length, nullptr, &overlapped_)
                                                       : WriteFile(file, buffer, length, nullptr, &overlapped_);
        if (done) {
            started_ = IoStart::CompletedAtOnce;
            collect(false);
            return;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            started_ = IoStart::Pending;
            pending_ = true;
        } else {
            fail(error);
        }
    }

    Win32Overlapped(const Win32Overlapped&) = delete;
    Win32Overlapped& operator=(const Win32Overlapped&) = delete;

    // The OVERLAPPED and the buffer belong to the system while the transfer is pending: cancel it
    // and wait until the system has let go of them.
    ~Win32Overlapped() override {
        if (!pending_) return;
        cancelTransfer(file_, &overlapped_);
        DWORD ignored = 0;
        GetOverlappedResult(file_, &overlapped_, &ignored, TRUE);
    }

    IoStart started() const override { return started_; }
    uint32_t error() const override { return error_; }
    uint32_t bytesTransferred() const override { return bytes_; }

    IoWait wait(uint32_t timeoutMs) override {
        if (!pending_) return started_ == IoStart::Failed || error_ != 0 ? IoWait::Failed : IoWait::Completed;
        switch (WaitForSingleObject(event_.get(), timeoutMs)) {
            case WAIT_OBJECT_0:
                return collect(true) ? IoWait::Completed : IoWait::Failed;
            case WAIT_TIMEOUT:
                return IoWait::TimedOut;
            default:
                error_ = GetLastError();
                return IoWait::Failed;
        }
    }

private:
    // Reads the outcome of a finished transfer.
    bool collect(bool wasPending) {
        DWORD bytes = 0;
        const BOOL ok = GetOverlappedResult(file_, &overlapped_, &bytes, FALSE);
        if (!ok && GetLastError() == ERROR_IO_INCOMPLETE) return false;  // still running
        if (wasPending) pending_ = false;
        bytes_ = bytes;
        error_ = ok ? 0 : GetLastError();
        return ok != FALSE;
    }

    void fail(DWORD error) {
        started_ = IoStart::Failed;
        error_ = error;
    }

    HANDLE file_;
    UniqueHandle event_;
    OVERLAPPED overlapped_{};
    IoStart started_ = IoStart::Failed;
    bool pending_ = false;
    uint32_t error_ = 0;
    uint32_t bytes_ = 0;
};

class Win32DeviceIo : public DeviceIo {
public:
    NativeHandle openDevice(std::u16string_view path) override {
        return CreateFileW(win32::wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    }

    bool closeHandle(NativeHandle handle) override { return CloseHandle(handle) != FALSE; }

    // The handle is open for overlapped I/O, where a request without an OVERLAPPED is undefined:
    // every request carries one with its own event, and the call waits for its completion.
    bool control(NativeHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength,
                 uint32_t* bytesReturned) override {
        UniqueHandle event = win32::newEvent();
        if (!event) return false;
        OVERLAPPED overlapped{};
        overlapped.hEvent = event.get();
        DWORD bytes = 0;
        BOOL ok = DeviceIoControl(handle, code, const_cast<void*>(in), in ? inLength : 0, out, out ? outLength : 0,
                                  nullptr, &overlapped);
        if (ok || GetLastError() == ERROR_IO_PENDING) ok = GetOverlappedResult(handle, &overlapped, &bytes, TRUE);
        if (ok && bytesReturned) *bytesReturned = bytes;
        return ok != FALSE;
    }

    std::unique_ptr<Overlapped> read(NativeHandle handle, std::span<uint8_t> buffer) override {
        return std::make_unique<Win32Overlapped>(handle, Win32Overlapped::Direction::Read, buffer.data(),
                                                 static_cast<uint32_t>(buffer.size()));
    }

    std::unique_ptr<Overlapped> write(NativeHandle handle, std::span<const uint8_t> frame) override {
        // WriteFile only reads the buffer.
        return std::make_unique<Win32Overlapped>(handle, Win32Overlapped::Direction::Write,
                                                 const_cast<uint8_t*>(frame.data()),
                                                 static_cast<uint32_t>(frame.size()));
    }

    bool cancel(NativeHandle handle) override { return CancelIo(handle) != FALSE; }
};

}  // namespace

DeviceIo& deviceIo() {
    static Win32DeviceIo instance;
    return instance;
}

}  // namespace kv::platform
