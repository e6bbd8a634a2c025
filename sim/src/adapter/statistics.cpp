// Traffic counters that grow with simulated time. The time the link has been up is sampled at
// every query (a query finding the link up counts the time since the previous query), so the
// counters follow the clock, not the number of queries.
#include "kv/sim/adapter/statistics.h"

#include "kv/bytes.h"
#include "kv/ndis.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"
#include "kv/sim/host.h"

namespace kv::sim {

namespace {

namespace err = platform::err;
namespace st = ndis::statistics;

constexpr const char* kNames[Statistics::kCounters] = {
    "rxBytes",           "txBytes",           "rxFrames",          "txFrames", "rxMulticastFrames",
    "rxBroadcastFrames", "txMulticastFrames", "txBroadcastFrames", "rxErrors", "txErrors",
    "rxDiscards",        "txDiscards",        "txOneCollisions",
};

// rate * ms / 1000 without overflowing for long runs at high rates.
uint64_t grown(uint64_t perSecond, uint64_t ms) { return perSecond * (ms / 1000) + perSecond * (ms % 1000) / 1000; }

// The share of `octets` that `part` of `total` frames carried; none when no frame was counted (the
// octets then all count as directed).
uint64_t share(uint64_t octets, uint64_t part, uint64_t total) {
    if (total == 0) return 0;
    const uint64_t whole = octets / total;
    const uint64_t rest = octets % total;
    return whole * part + static_cast<uint64_t>(static_cast<long double>(rest) * part / total);
}

// A 32- or 64-bit counter answer, as wide as the data area allows.
uint32_t answerCounter(std::span<uint8_t> data, uint64_t value) {
    if (data.size() >= 8) {
        writeU64(data, 0, value);
        return err::kSuccess;
    }
    if (data.size() >= 4) {
        writeU32(data, 0, static_cast<uint32_t>(value));
        return err::kSuccess;
    }
    return err::kInsufficientBuffer;
}

}  // namespace

const char* Statistics::name(Counter counter) { return counter < kCounters ? kNames[counter] : ""; }

void Statistics::configure(const Json& adapterJson, Adapter&) {
    const Json& j = adapterJson["statistics"];
    for (size_t c = 0; c < kCounters; ++c) {
        start_[c] = j["start"][kNames[c]].asUInt(0);
        perSecond_[c] = j[std::string(kNames[c]) + "PerSecond"].asUInt(0);
    }
}

void Statistics::advance(Adapter& adapter) {
    const uint64_t now = Host::get().clock().nowMs();
    if (sampled_ && adapter.link.up && adapter.present && now > lastSampleMs_) upMs_ += now - lastSampleMs_;
    lastSampleMs_ = now;
    sampled_ = true;
}

uint64_t Statistics::value(Counter counter, Adapter& adapter) {
    if (counter >= kCounters) return 0;
    advance(adapter);
    return start_[counter] + grown(perSecond_[counter], upMs_) + counted_[counter];
}

void Statistics::restart() {
    start_.fill(0);
    counted_.fill(0);
    upMs_ = 0;
    sampled_ = false;
}

void Statistics::countSent(uint64_t frames, uint64_t bytes) {
    counted_[TxFrames] += frames;
    counted_[TxBytes] += bytes;
}

void Statistics::countReceived(uint64_t frames, uint64_t bytes) {
    counted_[RxFrames] += frames;
    counted_[RxBytes] += bytes;
}

uint32_t Statistics::record(std::span<uint8_t> d, Adapter& adapter) {
    if (d.size() < st::kBytes) return err::kInsufficientBuffer;
    std::array<uint64_t, kCounters> v{};
    for (size_t c = 0; c < kCounters; ++c) v[c] = value(static_cast<Counter>(c), adapter);
    std::fill_n(d.begin(), st::kBytes, uint8_t{0});
    d[0] = ndis::kObjectTypeDefault;
    d[1] = st::kRevision;
    writeU16(d, 2, static_cast<uint16_t>(st::kBytes));
    writeU32(d, st::kSupportedStatistics, st::kValidAll);

    const uint64_t rxAll = v[RxFrames] + v[RxMulticastFrames] + v[RxBroadcastFrames];
    const uint64_t txAll = v[TxFrames] + v[TxMulticastFrames] + v[TxBroadcastFrames];
    const uint64_t rxMcastOctets = share(v[RxBytes], v[RxMulticastFrames], rxAll);
    const uint64_t rxBcastOctets = share(v[RxBytes], v[RxBroadcastFrames], rxAll);
    const uint64_t txMcastOctets = share(v[TxBytes], v[TxMulticastFrames], txAll);
    const uint64_t txBcastOctets = share(v[TxBytes], v[TxBroadcastFrames], txAll);

    writeU64(d, st::kInDiscards, v[RxDiscards]);
    writeU64(d, st::kInErrors, v[RxErrors]);
    writeU64(d, st::kInOctets, v[RxBytes]);
    writeU64(d, st::kInUcastPkts, v[RxFrames]);
    writeU64(d, st::kInMulticastPkts, v[RxMulticastFrames]);
    writeU64(d, st::kInBroadcastPkts, v[RxBroadcastFrames]);
    writeU64(d, st::kOutOctets, v[TxBytes]);
    writeU64(d, st::kOutUcastPkts, v[TxFrames]);
    writeU64(d, st::kOutMulticastPkts, v[TxMulticastFrames]);
    writeU64(d, st::kOutBroadcastPkts, v[TxBroadcastFrames]);
    writeU64(d, st::kOutErrors, v[TxErrors]);
    writeU64(d, st::kOutDiscards, v[TxDiscards]);
    writeU64(d, st::kInUcastOctets, v[RxBytes] - rxMcastOctets - rxBcastOctets);
    writeU64(d, st::kInMulticastOctets, rxMcastOctets);
    writeU64(d, st::kInBroadcastOctets, rxBcastOctets);
    writeU64(d, st::kOutUcastOctets, v[TxBytes] - txMcastOctets - txBcastOctets);
    writeU64(d, st::kOutMulticastOctets, txMcastOctets);
    writeU64(d, st::kOutBroadcastOctets, txBcastOctets);
    return err::kSuccess;
}

std::optional<uint32_t> Statistics::handle(OidCall& call, Adapter& adapter) {
    auto frames = [&](Counter directed, Counter multicast, Counter broadcast) {
        return value(directed, adapter) + value(multicast, adapter) + value(broadcast, adapter);
    };
    switch (call.oid) {
        case protocol::OID_GEN_STATISTICS:
            return record(call.data, adapter);
        case protocol::OID_GEN_XMIT_OK:
            return answerCounter(call.data, frames(TxFrames, TxMulticastFrames, TxBroadcastFrames));
        case protocol::OID_GEN_RCV_OK:
            return answerCounter(call.data, frames(RxFrames, RxMulticastFrames, RxBroadcastFrames));
        case protocol::OID_GEN_XMIT_ERROR:
            return answerCounter(call.data, value(TxErrors, adapter));
        case protocol::OID_GEN_RCV_ERROR:
            return answerCounter(call.data, value(RxErrors, adapter));
        case protocol::OID_GEN_RCV_NO_BUFFER:
            return answerCounter(call.data, value(RxDiscards, adapter));
        case protocol::OID_802_3_XMIT_ONE_COLLISION:
            // A ULONG counter in NDIS.
            return answerCounter(call.data.first(std::min<size_t>(call.data.size(), 4)),
                                 value(TxOneCollisions, adapter));
        default:
            return std::nullopt;
    }
}

std::unique_ptr<AdapterComponent> makeStatistics() { return std::make_unique<Statistics>(); }

}  // namespace kv::sim
