// The simulated protocol driver TvNdPt60: its device "\\.\\TvNdPt60", opened exclusively, bound
// per handle to one adapter, answering the five control codes with the driver's buffer layouts.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "kv/sim/handle_table.h"

namespace kv::sim {

class Adapter;
class DriverStandIn;
class Host;

// One frame read or write issued on a channel. A read completes with the oldest frame queued
// for the diagnostic protocol on the channel's adapter, at once or when one arrives.
struct FrameTransfer {
    enum class State { Pending, Completed, Failed };
    bool isRead = false;
    State state = State::Pending;
    uint32_t error = 0;          // the Windows error when Failed
    uint32_t bytes = 0;          // bytes transferred when Completed
    std::span<uint8_t> buffer;   // a read's destination (the caller keeps it alive)
    std::vector<uint8_t> frame;  // a write's frame, for the trace
};
using FrameTransferPtr = std::shared_ptr<FrameTransfer>;

struct ChannelState {
    Adapter* adapter = nullptr;                 // the adapter chosen by IOCTL_PROT_OPEN_DEVICE
    std::deque<FrameTransferPtr> pendingReads;  // completed oldest first
    std::vector<FrameTransferPtr> pendingWrites;
};

class ProtocolDriver {
public:
    explicit ProtocolDriver(Host& host) : host_(host) {}

    // Returns the handle value, or null with the error in *error.
    void* open(std::u16string_view path, uint32_t* error);
    bool close(void* handle);
    bool isChannel(void* handle) { return channels_.find(handle) != nullptr; }
    ChannelState* channel(void* handle) { return channels_.find(handle); }
    // Returns the Windows error number (0 on success). out may alias in.
    uint32_t control(void* handle, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out);
    void reset() { channels_.clear(); }
    // Answers from `standIn` instead of the machine until it is set back to null (driver_stand_in.h).
    void setStandIn(DriverStandIn* standIn) { standIn_ = standIn; }

    // Frame transfers (ReadFile / WriteFile on the channel). The result is Completed or Failed at
    // once, or Pending. Every transfer leaves one trace line when it ends:
    // "read|write <LEN> ok|pending-ok|timeout|err=<n> <HEX>".
    FrameTransferPtr read(void* handle, std::span<uint8_t> buffer);
    FrameTransferPtr write(void* handle, std::span<const uint8_t> frame);
    // The wait on a pending transfer ran out: traced as "timeout"; the transfer stays pending.
    void timedOut(const FrameTransfer& transfer);
    // CancelIo: every pending transfer of the channel fails with ERROR_OPERATION_ABORTED. Traced
    // as "cancel <COUNT>". False for an unknown handle.
    bool cancel(void* handle);
    // The transfer's owner is gone: forget it without a trace.
    void abandon(const FrameTransferPtr& transfer);
    // A frame was queued for the adapter: complete the pending reads of channels opened on it.
    void framesWaiting(Adapter& adapter);

private:
    uint32_t queryBinding(std::span<const uint8_t> in, std::span<uint8_t> out);
    uint32_t openAdapter(ChannelState& channel, std::span<const uint8_t> in);
    uint32_t oidRequest(ChannelState& channel, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out);
    // What every new frame transfer starts with: the stand-in answers it while one is installed;
    // otherwise a handle that is no channel, or an adapter that cannot carry frames, fails it at
    // once. Returns the adapter that takes the transfer, or null when it is answered already.
    Adapter* startTransfer(void* handle, const FrameTransferPtr& transfer, ChannelState*& channel);
    void failTransfer(FrameTransfer& transfer, uint32_t error);
    void traceTransfer(const FrameTransfer& transfer, std::string_view result);
    void standInTransfer(ChannelState& channel, const FrameTransferPtr& transfer);

    Host& host_;
    HandleTable<ChannelState> channels_;
    DriverStandIn* standIn_ = nullptr;
};

}  // namespace kv::sim
