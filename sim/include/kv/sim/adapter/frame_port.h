// The adapter's frame port for the diagnostic protocol: where a frame the protocol writes goes
// (looped inside the MAC by the driver-assisted loopback, back through the PHY in loopback or a
// loopback plug, or out onto the machine's wire), and the receive queue that reads take frames
// from, behind the packet filter. The frame faults of machine.json act here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "kv/sim/adapter/adapter.h"
#include "kv/sim/frame_queue.h"

namespace kv::sim {

class DriverLoopback;
class PacketFilter;
class PhyModel;

class FramePort : public AdapterComponent {
public:
    enum class SendResult { Sent, Pending, Failed };

    // One frame written by the diagnostic protocol. A pending send never completes by itself
    // (the writer times out and cancels it); *error is set for Failed.
    SendResult transmit(Adapter& adapter, std::span<const uint8_t> frame, uint32_t* error);
    // A frame reaching the adapter's receiver after `delayMs` on the timeline (from the wire or a
    // loopback); the foreign-frame fault puts its frames in front of each test frame.
    void arrive(Adapter& adapter, std::vector<uint8_t> frame, uint64_t delayMs);
    // The oldest frame waiting for the diagnostic protocol, copied into `out`; the bytes copied.
    std::optional<uint32_t> take(Adapter& adapter, std::span<uint8_t> out);
    size_t queued() const { return queue_.size(); }

    void configure(const Json& adapterJson, Adapter& adapter) override;
    std::optional<uint32_t> handle(OidCall&, Adapter&) override { return std::nullopt; }

private:
    void receive(Adapter& adapter, std::vector<uint8_t> frame);
    bool loopsBack() const;

    FrameQueue queue_;
    PacketFilter* filter_ = nullptr;
    DriverLoopback* driverLoopback_ = nullptr;
    PhyModel* phy_ = nullptr;

    uint64_t loopbackLatencyMs_ = 1;
    bool loopbackPlug_ = false;
    // Faults.
    uint64_t lostFrames_ = 0;
    uint32_t foreignFrames_ = 0;
    uint64_t foreignFrameGapMs_ = 1;
    bool frameStream_ = false;
    bool writePending_ = false;
    uint32_t writeError_ = 0;
    std::vector<uint8_t> streamFrame_;
};

}  // namespace kv::sim
