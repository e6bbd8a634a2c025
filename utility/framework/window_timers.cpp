#include "framework/window_timers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <tuple>

#include "kv/platform/system.h"

namespace kv::ui {

// The timers of every window while the virtual clock drives them.
class VirtualTimerQueue {
public:
    static VirtualTimerQueue& get() {
        static VirtualTimerQueue queue;
        return queue;
    }

    void arm(const WindowTimers* owner, int id, uint32_t periodMs) {
        entries_[{owner, id}] = Entry{TimerClock::nowMs() + periodMs, periodMs, nextSequence_++};
    }
    bool disarm(const WindowTimers* owner, int id) { return entries_.erase({owner, id}) > 0; }
    void disarmAll(const WindowTimers* owner) {
        std::erase_if(entries_, [owner](const auto& entry) { return entry.first.first == owner; });
    }
    std::optional<uint32_t> period(const WindowTimers* owner, int id) const {
        const auto it = entries_.find({owner, id});
        if (it == entries_.end()) return std::nullopt;
        return it->second.period;
    }

    void advance(uint32_t ms) {
        const uint64_t target = TimerClock::nowMs() + ms;
        while (const auto due = earliest(target)) {
            const uint64_t now = TimerClock::nowMs();
            if (due->second.due > now) passTime(static_cast<uint32_t>(due->second.due - now));
            fire(due->first, due->second);
        }
        const uint64_t now = TimerClock::nowMs();
        if (now < target) passTime(static_cast<uint32_t>(target - now));
    }

    void fireDue() {
        // Each overdue timer once: the ones re-armed meanwhile wait for the next call.
        const uint64_t limit = nextSequence_;
        while (const auto due = earliest(TimerClock::nowMs(), limit)) fire(due->first, due->second);
    }

    std::function<void(uint32_t)> passTime_ = [](uint32_t ms) { platform::clock().sleep(ms); };

private:
    using Key = std::pair<const WindowTimers*, int>;
    struct Entry {
        uint64_t due;
        uint32_t period;
        uint64_t sequence;  // order of arming, for timers due at the same time
    };

    std::optional<std::pair<Key, Entry>> earliest(uint64_t upTo, uint64_t sequenceLimit = UINT64_MAX) const {
        std::optional<std::pair<Key, Entry>> best;
        for (const auto& [key, entry] : entries_) {
            if (entry.due > upTo || entry.sequence >= sequenceLimit) continue;
            if (!best || std::tie(entry.due, entry.sequence) < std::tie(best->second.due, best->second.sequence)) {
                best = std::make_pair(key, entry);
            }
        }
        return best;
    }

    // Re-arms the timer by its period (dropping the periods that passed already), then calls its
    // handler, which may stop or re-arm it.
    void fire(const Key& key, const Entry& entry) {
        const uint64_t now = TimerClock::nowMs();
        uint64_t next = entry.due + entry.period;
        if (next <= now) next += (now - next) / entry.period * entry.period + entry.period;
        entries_[key] = Entry{next, entry.period, nextSequence_++};
        key.first->fire(key.second);
    }

    void passTime(uint32_t ms) {
        if (ms > 0) passTime_(ms);
    }

    std::map<Key, Entry> entries_;
    uint64_t nextSequence_ = 0;
};

namespace {

std::optional<TimerClock::Mode>& chosenMode() {
    static std::optional<TimerClock::Mode> mode;
    return mode;
}

}  // namespace

TimerClock::Mode TimerClock::mode() {
    if (chosenMode()) return *chosenMode();
    const char* clock = std::getenv("KELVA_CLOCK");
    return clock && std::strcmp(clock, "virtual") == 0 ? Mode::Virtual : Mode::Real;
}

void TimerClock::setMode(Mode mode) { chosenMode() = mode; }
void TimerClock::advance(uint32_t ms) { VirtualTimerQueue::get().advance(ms); }
void TimerClock::fireDue() { VirtualTimerQueue::get().fireDue(); }
void TimerClock::setTimePasser(std::function<void(uint32_t)> passTime) {
    VirtualTimerQueue::get().passTime_ = std::move(passTime);
}
uint64_t TimerClock::nowMs() { return platform::clock().nowMs(); }

WindowTimers::WindowTimers(Handler handler) : handler_(std::move(handler)) {}

WindowTimers::~WindowTimers() { VirtualTimerQueue::get().disarmAll(this); }

void WindowTimers::setTimer(int id, uint32_t periodMs) {
    periodMs = std::max<uint32_t>(periodMs, 1);
    if (TimerClock::mode() == TimerClock::Mode::Virtual) {
        if (const auto it = realTimers_.find(id); it != realTimers_.end()) it->second->stop();
        VirtualTimerQueue::get().arm(this, id, periodMs);
        return;
    }
    VirtualTimerQueue::get().disarm(this, id);
    auto& timer = realTimers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] { fire(id); });
    }
    timer->start(static_cast<int>(std::min<uint32_t>(periodMs, INT32_MAX)));
}

bool WindowTimers::killTimer(int id) {
    const bool virtualTimer = VirtualTimerQueue::get().disarm(this, id);
    // The QTimer stays (a handler may stop its own timer); it only stops.
    const auto it = realTimers_.find(id);
    const bool realTimer = it != realTimers_.end() && it->second->isActive();
    if (realTimer) it->second->stop();
    return realTimer || virtualTimer;
}

bool WindowTimers::isRunning(int id) const { return period(id) != 0; }

uint32_t WindowTimers::period(int id) const {
    if (const auto it = realTimers_.find(id); it != realTimers_.end() && it->second->isActive()) {
        return static_cast<uint32_t>(it->second->interval());
    }
    return VirtualTimerQueue::get().period(this, id).value_or(0);
}

void WindowTimers::fire(int id) const {
    if (handler_) handler_(id);
}

}  // namespace kv::ui
