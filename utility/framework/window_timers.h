// Window timers by id, as a window has them: setting an id that runs already re-arms it with the
// new period; each expiry calls the window's timer handler with the id on the user-interface
// thread.
//
// Two clocks drive them (TimerClock): in the running program each timer is a QTimer; on the
// virtual clock of the tests they are due times on kv::platform::clock(), and a test lets time
// pass with TimerClock::advance — the due timers then fire in order, earliest first, each re-armed
// by its period — so no test waits in real time.
#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace kv::ui {

class WindowTimers {
public:
    using Handler = std::function<void(int id)>;

    explicit WindowTimers(Handler handler);
    ~WindowTimers();
    WindowTimers(const WindowTimers&) = delete;
    WindowTimers& operator=(const WindowTimers&) = delete;

    // Starts timer `id` with the period (at least 1 ms), or re-arms it when it runs.
    void setTimer(int id, uint32_t periodMs);
    // Stops timer `id`; false when it was not running.
    bool killTimer(int id);
    bool isRunning(int id) const;
    // The period of a running timer, 0 when it does not run.
    uint32_t period(int id) const;

private:
    friend class VirtualTimerQueue;
    void fire(int id) const;

    Handler handler_;
    std::map<int, std::unique_ptr<QTimer>> realTimers_;
};

// Which clock drives the window timers, process-wide.
class TimerClock {
public:
    enum class Mode { Real, Virtual };

    // Virtual when the environment asks for the virtual clock (KELVA_CLOCK=virtual), else Real.
    static Mode mode();
    // Chooses the clock for the timers set from now on.
    static void setMode(Mode mode);

    // Virtual clock only; on the user-interface thread.
    // The user-interface thread idles `ms`: every timer falling due meanwhile fires at its time,
    // earliest first (timers due at the same time in the order they were set), and is re-armed
    // by its period. A handler that takes time (a library call that sleeps) moves the clock on;
    // the periods it let pass fire only once.
    static void advance(uint32_t ms);
    // Fires, once each and in order, the timers whose time has passed (after a blocking call).
    static void fireDue();
    // How the virtual time passes; by default a sleep of kv::platform::clock(). A test may pass
    // the time without leaving a trace.
    static void setTimePasser(std::function<void(uint32_t ms)> passTime);
    // The time on that clock.
    static uint64_t nowMs();
};

}  // namespace kv::ui
