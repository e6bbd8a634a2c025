#include "kv/sim/adapter/frame_port.h"

#include <algorithm>

#include "kv/sim/adapter/components.h"
#include "kv/sim/adapter/driver_loopback.h"
#include "kv/sim/adapter/packet_filter.h"
#include "kv/sim/adapter/phy.h"
#include "kv/sim/ethernet.h"
#include "kv/sim/host.h"

namespace kv::sim {

namespace {

constexpr size_t kMinimumFrame = 60;
// The stations behind the fault frames: locally administered addresses.
constexpr ethernet::Mac kStreamSource = {0x02, 0x4B, 0x56, 0x00, 0x00, 0x01};
constexpr ethernet::Mac kForeignSource = {0x02, 0x4B, 0x56, 0x00, 0x00, 0x02};

// A broadcast address-resolution request, the kind of traffic that floods a busy segment.
std::vector<uint8_t> makeStreamFrame() {
    std::vector<uint8_t> f(kMinimumFrame, 0);
    std::copy(ethernet::kBroadcast.begin(), ethernet::kBroadcast.end(), f.begin());
    std::copy(kStreamSource.begin(), kStreamSource.end(), f.begin() + 6);
    const uint8_t arp[] = {0x08, 0x06, 0x00, 0x01, 0x08, 0x00, 0x06, 0x04, 0x00, 0x01};
    std::copy(std::begin(arp), std::end(arp), f.begin() + 12);
    std::copy(kStreamSource.begin(), kStreamSource.end(), f.begin() + 22);
    const uint8_t ips[] = {192, 168, 0, 1, 0, 0, 0, 0, 0, 0, 192, 168, 0, 2};
    std::copy(std::begin(ips), std::end(ips), f.begin() + 28);
    return f;
}

// An IPv4 frame addressed to the adapter: another protocol's traffic, not a test frame.
std::vector<uint8_t> makeForeignFrame(const ethernet::Mac& to) {
    std::vector<uint8_t> f(kMinimumFrame, 0);
    std::copy(to.begin(), to.end(), f.begin());
    std::copy(kForeignSource.begin(), kForeignSource.end(), f.begin() + 6);
    f[12] = 0x08;
    f[13] = 0x00;
    f[14] = 0x45;
    return f;
}

}  // namespace

void FramePort::configure(const Json& adapterJson, Adapter& adapter) {
    filter_ = adapter.component<PacketFilter>();
    driverLoopback_ = adapter.component<DriverLoopback>();
    phy_ = adapter.component<PhyModel>();

    const Json& frames = adapterJson["frames"];
    loopbackLatencyMs_ = frames["loopbackLatencyMs"].asUInt(1);
    loopbackPlug_ = frames["loopbackPlug"].asBool(false);
    queue_.setLimit(static_cast<size_t>(frames["queueLimit"].asUInt(FrameQueue::kDefaultLimit)));
    // Traffic of the segment that reached the adapter before the suite looks: waiting already.
    const uint64_t waiting = frames["queued"].asUInt(0);
    for (uint64_t i = 0; i < waiting && queue_.push(makeStreamFrame()); ++i) {
    }

    const Json& faults = adapterJson["faults"];
    lostFrames_ = faults["lostFrames"].asUInt(0);
    foreignFrames_ = static_cast<uint32_t>(faults["foreignFrames"].asUInt(0));
    foreignFrameGapMs_ = faults["foreignFrameGapMs"].asUInt(1);
    frameStream_ = faults["frameStream"].asBool(false);
    writePending_ = faults["writePending"].asBool(false);
    writeError_ = static_cast<uint32_t>(faults["writeError"].asUInt(0));
    if (frameStream_) streamFrame_ = makeStreamFrame();
}

bool FramePort::loopsBack() const { return loopbackPlug_ || (phy_ && phy_->inLoopback()); }

FramePort::SendResult FramePort::transmit(Adapter& adapter, std::span<const uint8_t> frame, uint32_t* error) {
    if (writeError_) {
        *error = writeError_;
        return SendResult::Failed;
    }
    if (writePending_) return SendResult::Pending;
    if (driverLoopback_ && driverLoopback_->active()) {
        driverLoopback_->frameSent();
        return SendResult::Sent;
    }
    Host& host = Host::get();
    if (lostFrames_ > 0) {
        --lostFrames_;
        host.trace().add("frame " + std::to_string(adapter.index) + " lost");
        return SendResult::Sent;
    }
    if (loopsBack()) {
        arrive(adapter, std::vector<uint8_t>(frame.begin(), frame.end()), loopbackLatencyMs_);
    } else if (adapter.link.up) {
        host.machine().wire.transmit(host.machine(), &adapter, frame);
    }
    // Without link the controller sends the frame into nothing; the write still completes.
    return SendResult::Sent;
}

void FramePort::arrive(Adapter& adapter, std::vector<uint8_t> frame, uint64_t delayMs) {
    SimClock& clock = Host::get().clock();
    Adapter* target = &adapter;
    if (foreignFrames_ > 0 && ethernet::isTestFrame(frame)) {
        const auto foreign = makeForeignFrame(adapter.mac);
        for (uint32_t i = 0; i < foreignFrames_; ++i) {
            clock.schedule(delayMs, [this, target, foreign] { receive(*target, foreign); });
            delayMs += foreignFrameGapMs_;
        }
    }
    clock.schedule(delayMs, [this, target, f = std::move(frame)]() mutable { receive(*target, std::move(f)); });
}

void FramePort::receive(Adapter& adapter, std::vector<uint8_t> frame) {
    if (!adapter.present || (filter_ && !filter_->accepts(adapter.mac, frame))) return;
    Host& host = Host::get();
    if (!queue_.push(std::move(frame))) {
        host.trace().add("frame " + std::to_string(adapter.index) + " dropped: receive queue full");
        return;
    }
    host.protocolDriver().framesWaiting(adapter);
}

std::optional<uint32_t> FramePort::take(Adapter& adapter, std::span<uint8_t> out) {
    if (auto n = queue_.pop(out)) return n;
    // The stream never runs dry: another frame is always already there.
    if (frameStream_ && (!filter_ || filter_->accepts(adapter.mac, streamFrame_))) {
        const size_t n = std::min(streamFrame_.size(), out.size());
        std::copy_n(streamFrame_.begin(), n, out.begin());
        return static_cast<uint32_t>(n);
    }
    return std::nullopt;
}

std::unique_ptr<AdapterComponent> makeFramePort() { return std::make_unique<FramePort>(); }

}  // namespace kv::sim
