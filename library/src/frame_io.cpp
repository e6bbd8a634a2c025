#include "frame_io.h"

#include <new>

#include "kv/platform/device_io.h"
#include "notify.h"
#include "state.h"

namespace kv::lib {

WriteResult writeFrame(std::span<const uint8_t> frame) {
    auto transfer = platform::deviceIo().write(state().channel, frame);
    switch (transfer->started()) {
        case platform::IoStart::CompletedAtOnce:
            return WriteResult::Sent;
        case platform::IoStart::Failed:
            return WriteResult::Failed;
        case platform::IoStart::Pending:
            break;
    }
    switch (transfer->wait(kWriteTimeoutMs)) {
        case platform::IoWait::Completed:
            return WriteResult::Sent;
        case platform::IoWait::TimedOut:
            cancelTransfers();
            return WriteResult::TimedOut;
        case platform::IoWait::Failed:
            break;
    }
    return WriteResult::Failed;
}

ReadOutcome readFrame(std::span<uint8_t> buffer, uint32_t timeoutMs, std::string_view timeoutLine) {
    auto transfer = platform::deviceIo().read(state().channel, buffer);
    switch (transfer->started()) {
        case platform::IoStart::CompletedAtOnce:
            return {ReadResult::AtOnce, transfer->bytesTransferred()};
        case platform::IoStart::Failed:
            return {ReadResult::Failed};
        case platform::IoStart::Pending:
            break;
    }
    switch (transfer->wait(timeoutMs)) {
        case platform::IoWait::Completed:
            return {ReadResult::AfterWait, transfer->bytesTransferred()};
        case platform::IoWait::TimedOut:
            if (!timeoutLine.empty()) writeStdout(timeoutLine);
            cancelTransfers();
            return {ReadResult::TimedOut};
        case platform::IoWait::Failed:
            break;
    }
    return {ReadResult::Failed};
}

void cancelTransfers() { platform::deviceIo().cancel(state().channel); }

std::unique_ptr<uint8_t[]> allocateFrame(size_t bytes) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[bytes]());
}

}  // namespace kv::lib
