#include "kv/sim/adapter/cable.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "kv/sim/adapter/adapter.h"
#include "kv/sim/host.h"

namespace kv::sim {

namespace {

constexpr double kUnpluggedLengthM = 0;
constexpr double kDefaultLengthM = 30;

PairState parseState(const Json& j, size_t index) {
    const std::string s = j.asString("normal");
    if (s == "normal") return PairState::Normal;
    if (s == "open") return PairState::Open;
    if (s == "short") return PairState::Short;
    if (s == "fault") return PairState::OtherFault;
    throw std::runtime_error("cable.pairs[" + std::to_string(index) +
                             "].state must be \"normal\", \"open\", \"short\" or \"fault\", not \"" + s + "\"");
}

double metres(const Json& j, double def, const std::string& what) {
    if (j.isNull()) return def;
    if (!j.isNumber() || j.asDouble(-1) < 0) throw std::runtime_error(what + " must be a number of metres, 0 or more");
    return j.asDouble();
}

// The two fault bits of a pair's result: the first is "short" on pairs 0 and 2 and "open" on
// pairs 1 and 3, the second the other way round.
uint16_t faultBits(PairState state, unsigned pairIndex, uint16_t first, uint16_t second) {
    const bool swapped = (pairIndex & 1) != 0;
    switch (state) {
        case PairState::Normal:
            return 0;
        case PairState::Short:
            return swapped ? second : first;
        case PairState::Open:
            return swapped ? first : second;
        case PairState::OtherFault:
            return first | second;
    }
    return 0;
}

}  // namespace

Cable readCable(const Json& j, bool linkUp) {
    Cable cable;
    const Json& pairs = j["pairs"];
    if (pairs.isNull() && !linkUp) {
        cable.lengthM = metres(j["length"], kUnpluggedLengthM, "cable.length");
        for (auto& p : cable.pairs) p = {PairState::Open, 0};
        return cable;
    }
    cable.lengthM = metres(j["length"], kDefaultLengthM, "cable.length");
    if (pairs.size() > cable.pairs.size()) throw std::runtime_error("cable.pairs has at most 4 entries");
    for (size_t i = 0; i < cable.pairs.size(); ++i) {
        const Json& p = pairs[i];
        CablePair& pair = cable.pairs[i];
        pair.state = parseState(p["state"], i);
        const double def = pair.state == PairState::Normal ? cable.lengthM : 0;
        pair.distanceM = metres(p["distance"], def, "cable.pairs[" + std::to_string(i) + "].distance");
    }
    return cable;
}

TdrEncoding tdrEncodingFor(const PciIdentity& pci) {
    return pci.deviceId == 0x4440 && pci.revisionId == 2 ? TdrEncoding::Fine : TdrEncoding::Coarse;
}

uint16_t pairTestResult(const CablePair& pair, unsigned pairIndex, TdrEncoding encoding) {
    if (encoding == TdrEncoding::Fine) {
        const auto steps = static_cast<uint16_t>(std::min(std::lround(pair.distanceM * 40), 0x1FFFL));
        return kPairTestDone | faultBits(pair.state, pairIndex, 0x2000, 0x4000) | steps;
    }
    const auto m = static_cast<uint16_t>(std::min(std::lround(pair.distanceM), 0xFFL));
    return kPairTestDone | faultBits(pair.state, pairIndex, 0x1000, 0x2000) | static_cast<uint16_t>(m << 1);
}

PairTest::PairTest() : alive_(std::make_shared<int>(0)) {}
PairTest::~PairTest() = default;

void PairTest::setNeverCompletes(unsigned pairIndex, bool never) {
    if (pairIndex < neverCompletes_.size()) neverCompletes_[pairIndex] = never;
}

void PairTest::start(unsigned pairIndex, uint16_t result) {
    stop();
    state_ = State::Running;
    result_ = result;
    if (pairIndex < neverCompletes_.size() && neverCompletes_[pairIndex]) return;
    std::weak_ptr<int> alive = alive_;
    pendingEvent_ = Host::get().clock().schedule(durationMs_, [this, alive] {
        if (alive.expired()) return;
        pendingEvent_ = 0;
        state_ = State::Done;
    });
}

void PairTest::stop() {
    if (pendingEvent_) Host::get().clock().cancel(pendingEvent_);
    pendingEvent_ = 0;
    state_ = State::Idle;
    result_ = 0;
}

}  // namespace kv::sim
