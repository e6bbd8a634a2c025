// The cable plugged into an adapter and the PHY's time-domain pair test on it.
//
// A cable has a length and four pairs (index 0 to 3: wires 1-2, 3-6, 4-5, 7-8), each normal or
// open, short or otherwise faulty at a distance. The pair test sends a pulse down one pair and,
// after the test duration, reports in its result register whether an echo came back and from
// how far, in the encoding of the chip.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "kv/sim/json.h"

namespace kv::sim {

struct PciIdentity;

enum class PairState { Normal, Open, Short, OtherFault };

struct CablePair {
    PairState state = PairState::Normal;
    double distanceM = 0;  // to the fault; for a normal pair, to the far end
};

struct Cable {
    double lengthM = 0;
    std::array<CablePair, 4> pairs{};
};

// Reads machine.json's "cable" object. Without "pairs", a cable that carries link is a good one
// (30 m unless "length" says otherwise), and no link means nothing is plugged: every pair open
// at 0 m. Throws std::runtime_error for a state it does not know or a negative distance.
Cable readCable(const Json& cableJson, bool linkUp);

// How a chip reports a finished pair test in page 3 register 28. Bit 15 is "done" in both.
//   Fine   (0x4440 revision 2): fault bits 14:13, distance in 2.5 cm steps in bits 12:0.
//   Coarse (every other chip):  fault bits 13:12, distance in metres in bits 8:1.
// The two fault bits swap their meaning between pairs 0/2 and pairs 1/3; both bits together
// are a fault that is neither open nor short.
enum class TdrEncoding { Fine, Coarse };
TdrEncoding tdrEncodingFor(const PciIdentity& pci);
uint16_t pairTestResult(const CablePair& pair, unsigned pairIndex, TdrEncoding encoding);

inline constexpr uint16_t kPairTestDone = 0x8000;

// The pair test's state machine: idle -> running (result register 0) -> done (the result)
// after the test duration on the simulated timeline. A pair marked as never completing stays
// running until the test is stopped.
class PairTest {
public:
    PairTest();
    ~PairTest();
    PairTest(const PairTest&) = delete;
    PairTest& operator=(const PairTest&) = delete;

    void setDurationMs(uint32_t ms) { durationMs_ = ms; }
    void setNeverCompletes(unsigned pairIndex, bool never);

    void start(unsigned pairIndex, uint16_t result);
    void stop();
    bool running() const { return state_ == State::Running; }
    // Page 3 register 28 as the PHY reports it now.
    uint16_t resultRegister() const { return state_ == State::Done ? result_ : 0; }

private:
    enum class State { Idle, Running, Done };

    State state_ = State::Idle;
    uint16_t result_ = 0;
    uint32_t durationMs_ = 500;
    std::array<bool, 4> neverCompletes_{};
    uint64_t pendingEvent_ = 0;
    // Events on the timeline hold this weakly, so that none reaches a test that is gone.
    std::shared_ptr<int> alive_;
};

}  // namespace kv::sim
