// The protocol driver's device channel: exclusive overlapped open, control requests, frame reads
// and writes that tell "completed at once" from "completed after waiting", and cancellation.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "kv/platform/types.h"

namespace kv::platform {

// How issuing an overlapped transfer went (ReadFile/WriteFile with an OVERLAPPED).
enum class IoStart {
    CompletedAtOnce,  // the call returned TRUE: the transfer is done
    Pending,          // the call failed with ERROR_IO_PENDING: wait for the event
    Failed,           // any other error; see error()
};

// How waiting on a pending transfer's event went (WaitForSingleObject + GetOverlappedResult).
enum class IoWait { Completed, TimedOut, Failed };

// One overlapped frame transfer with its own manual-reset event. The caller's buffer must outlive
// it. Destroying a transfer that is still pending cancels it and waits for the cancellation.
class Overlapped {
public:
    virtual ~Overlapped() = default;
    virtual IoStart started() const = 0;
    // The Windows error number when started() or wait() failed.
    virtual uint32_t error() const = 0;
    virtual IoWait wait(uint32_t timeoutMs) = 0;
    // Bytes transferred, valid after CompletedAtOnce or a completed wait.
    virtual uint32_t bytesTransferred() const = 0;
};

class DeviceIo {
public:
    virtual ~DeviceIo() = default;
    // CreateFileW(path, GENERIC_READ|GENERIC_WRITE, share 0, no security, OPEN_EXISTING,
    // FILE_ATTRIBUTE_NORMAL|FILE_FLAG_OVERLAPPED). Returns invalidHandle() and sets the last error.
    virtual NativeHandle openDevice(std::u16string_view path) = 0;
    virtual bool closeHandle(NativeHandle handle) = 0;
    // DeviceIoControl, synchronous for the caller. Sets the last error on failure.
    virtual bool control(NativeHandle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                         uint32_t outLength, uint32_t* bytesReturned) = 0;
    // Issue an overlapped read or write of one frame. Never null; a transfer whose event could not
    // be created reports Failed.
    virtual std::unique_ptr<Overlapped> read(NativeHandle handle, std::span<uint8_t> buffer) = 0;
    virtual std::unique_ptr<Overlapped> write(NativeHandle handle, std::span<const uint8_t> frame) = 0;
    // CancelIo: cancel every pending transfer of the calling thread on the handle.
    virtual bool cancel(NativeHandle handle) = 0;
};

DeviceIo& deviceIo();

}  // namespace kv::platform
