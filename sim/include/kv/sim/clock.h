// The simulated machine's clock: real time in the running program, virtual time in tests.
// Events scheduled on the timeline run when their time has come: during sleeps, and lazily at
// every call into the host, so no background thread is needed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace kv::sim {

class SimClock {
public:
    enum class Mode { Real, Virtual };

    explicit SimClock(Mode mode);

    Mode mode() const { return mode_; }
    uint64_t nowMs() const;
    // Virtual: advance at once, running what falls due in order. Real: wait, running what falls due.
    // The caller holds the host lock; in real mode sleep() releases nothing itself, so the host
    // calls sleepUnlocked() for real waits.
    void advance(uint64_t ms);
    // Runs every event whose time has come.
    void runDue();
    // Virtual: runs the timeline's events in order until `done` holds (the clock stays at the time
    // of the event that made it hold) or until `ms` have passed (the clock then stands at the
    // deadline). Returns whether `done` holds. Real mode only runs what is due; the host waits.
    bool advanceUntil(uint64_t ms, const std::function<bool()>& done);

    using EventId = uint64_t;
    EventId schedule(uint64_t delayMs, std::function<void()> action);
    void cancel(EventId id);
    bool hasPending() const { return !events_.empty(); }
    // Time of the next event, or UINT64_MAX.
    uint64_t nextEventAt() const;

private:
    bool runOneDue(uint64_t upTo);

    Mode mode_;
    uint64_t virtualNow_ = 0;
    uint64_t realStart_ = 0;
    EventId nextId_ = 1;
    // Ordered by (time, id), so events at the same time run in the order they were scheduled.
    std::map<std::pair<uint64_t, EventId>, std::function<void()>> events_;
};

uint64_t steadyMs();

}  // namespace kv::sim
