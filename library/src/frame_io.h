// Frame transfers on the shared channel: the driver handle carries one Ethernet frame per read
// or write. Every sender of the library goes through writeFrame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "kv/protocol.h"

namespace kv::lib {

// How long a pending write may take before it is cancelled.
inline constexpr uint32_t kWriteTimeoutMs = 500;

enum class WriteResult { Sent, TimedOut, Failed };

// The overlapped write: a write that completes at once is sent; a pending one is waited for up
// to 500 ms, and on timeout the channel's pending I/O is cancelled.
WriteResult writeFrame(std::span<const uint8_t> frame);

enum class ReadResult {
    AtOnce,     // a frame was already waiting
    AfterWait,  // a frame arrived within the wait
    TimedOut,   // nothing came; the channel's pending I/O has been cancelled
    Failed,
};

struct ReadOutcome {
    ReadResult result;
    uint32_t bytes = 0;  // frame bytes in the buffer, for AtOnce and AfterWait
    bool gotFrame() const { return result == ReadResult::AtOnce || result == ReadResult::AfterWait; }
};

// One overlapped read into `buffer`, waiting up to `timeoutMs` when it goes pending (0: only a
// frame that is already there counts). On timeout `timeoutLine`, when given, goes to standard
// output before the channel's pending I/O is cancelled.
ReadOutcome readFrame(std::span<uint8_t> buffer, uint32_t timeoutMs, std::string_view timeoutLine = {});

// CancelIo on the channel: ends every pending transfer.
void cancelTransfers();

// A frame buffer from the heap; null when memory is short.
std::unique_ptr<uint8_t[]> allocateFrame(size_t bytes);

// Frames the library builds and reads.
inline constexpr size_t kMacBytes = 6;
inline constexpr size_t kTypeOffset = 12;
inline constexpr size_t kHeaderBytes = 14;

inline void putTestType(uint8_t* frame) {
    frame[kTypeOffset] = static_cast<uint8_t>(protocol::kTestFrameType & 0xFF);
    frame[kTypeOffset + 1] = static_cast<uint8_t>(protocol::kTestFrameType >> 8);
}
// Whether the first `bytes` of a received frame carry the library's test type.
inline bool hasTestType(const uint8_t* frame, uint32_t bytes) {
    return bytes >= kHeaderBytes && frame[kTypeOffset] == (protocol::kTestFrameType & 0xFF) &&
           frame[kTypeOffset + 1] == (protocol::kTestFrameType >> 8);
}

}  // namespace kv::lib
