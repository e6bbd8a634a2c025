// The user-interface thread: workers never touch widgets, they hand closures to it.
//
// Every closure handed over waits in the window's queue until it runs, so a worker must not post
// one per change of something that changes faster than the window draws (a pass counter, say):
// such state is shared and drawn by a CoalescedUiCall, or handed over synchronously
// (runOnUiThread), which makes the worker wait for the window. The framework counts what waits;
// with KELVA_STRICT set (the tests) more than kPendingUiCallLimit ends the process, so a flood is
// a test failure rather than a window that falls behind and eats the memory.
#pragma once

#include <QObject>
#include <cstddef>
#include <functional>
#include <memory>

namespace kv::ui {

bool onUiThread();
// Makes the receiver of the hand-overs; runs by itself when the application is constructed.
void makeUiDispatcher();

// Runs `action` on the user-interface thread later; dropped when `context` is destroyed first
// (a null context is never destroyed).
void postToUi(QObject* context, std::function<void()> action);
// Runs `action` on the user-interface thread and waits until it has run (at once when called
// there). The user-interface thread must not be waiting for the caller meanwhile, unless it
// handles its events while it waits.
void runOnUiThread(const std::function<void()>& action);

// Closures handed to the user-interface thread that have neither run nor been dropped yet, and
// all handed over since the start.
size_t pendingUiCalls();
size_t postedUiCalls();
inline constexpr size_t kPendingUiCallLimit = 1000;

// A drawing of shared state that a worker asks for as often as the state changes: while one is
// queued, a further request adds nothing, and the action reads the latest state when it runs
// (the state is the caller's, under its own lock). So at most one closure waits, however fast
// the worker goes, and the last request is always followed by a drawing.
class CoalescedUiCall {
public:
    explicit CoalescedUiCall(std::function<void()> action);
    // From any thread.
    void request() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace kv::ui
