// The adapter's traffic counters: the NDIS statistics record and the single counters the
// statistics page asks for. Counters start at the machine's "statistics.start" values and grow
// at its "statistics.<counter>PerSecond" rates of simulated time while the link is up; frames
// the simulation really carries are counted on top through countSent / countReceived.
#pragma once

#include <array>
#include <cstdint>

#include "kv/sim/adapter/adapter.h"

namespace kv::sim {

class Statistics : public AdapterComponent {
public:
    enum Counter : size_t {
        RxBytes,
        TxBytes,
        RxFrames,  // directed frames
        TxFrames,
        RxMulticastFrames,
        RxBroadcastFrames,
        TxMulticastFrames,
        TxBroadcastFrames,
        RxErrors,
        TxErrors,
        RxDiscards,
        TxDiscards,
        TxOneCollisions,
        kCounters
    };
    // The machine.json names: "rxBytes", "rxBytesPerSecond", ...
    static const char* name(Counter counter);

    // The counter as it stands at the host clock's present time.
    uint64_t value(Counter counter, Adapter& adapter);
    void countSent(uint64_t frames, uint64_t bytes);
    void countReceived(uint64_t frames, uint64_t bytes);
    // The miniport restarted: every counter starts again from 0 and grows from now on.
    void restart();

    void configure(const Json& adapterJson, Adapter& adapter) override;
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override;

private:
    // Brings the link-up time forward to now.
    void advance(Adapter& adapter);
    uint32_t record(std::span<uint8_t> data, Adapter& adapter);

    std::array<uint64_t, kCounters> start_{};
    std::array<uint64_t, kCounters> perSecond_{};
    std::array<uint64_t, kCounters> counted_{};
    uint64_t upMs_ = 0;
    uint64_t lastSampleMs_ = 0;
    bool sampled_ = false;
};

}  // namespace kv::sim
