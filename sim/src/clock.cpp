#include "kv/sim/clock.h"

#include <chrono>

namespace kv::sim {

uint64_t steadyMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

SimClock::SimClock(Mode mode) : mode_(mode), realStart_(steadyMs()) {}

uint64_t SimClock::nowMs() const { return mode_ == Mode::Virtual ? virtualNow_ : steadyMs() - realStart_; }

bool SimClock::runOneDue(uint64_t upTo) {
    if (events_.empty()) return false;
    auto it = events_.begin();
    if (it->first.first > upTo) return false;
    if (mode_ == Mode::Virtual && it->first.first > virtualNow_) virtualNow_ = it->first.first;
    auto action = std::move(it->second);
    events_.erase(it);
    action();
    return true;
}

void SimClock::runDue() {
    while (runOneDue(nowMs())) {
    }
}

void SimClock::advance(uint64_t ms) {
    if (mode_ == Mode::Virtual) {
        const uint64_t target = virtualNow_ + ms;
        while (runOneDue(target)) {
        }
        virtualNow_ = target;
    }
    runDue();
}

bool SimClock::advanceUntil(uint64_t ms, const std::function<bool()>& done) {
    if (mode_ != Mode::Virtual) {
        runDue();
        return done();
    }
    const uint64_t deadline = virtualNow_ + ms;
    while (!done()) {
        if (!runOneDue(deadline)) {
            virtualNow_ = deadline;
            return done();
        }
    }
    return true;
}

SimClock::EventId SimClock::schedule(uint64_t delayMs, std::function<void()> action) {
    const EventId id = nextId_++;
    events_.emplace(std::make_pair(nowMs() + delayMs, id), std::move(action));
    return id;
}

void SimClock::cancel(EventId id) {
    for (auto it = events_.begin(); it != events_.end(); ++it) {
        if (it->first.second == id) {
            events_.erase(it);
            return;
        }
    }
}

uint64_t SimClock::nextEventAt() const { return events_.empty() ? UINT64_MAX : events_.begin()->first.first; }

}  // namespace kv::sim
