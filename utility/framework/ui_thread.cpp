#include "framework/ui_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "framework/sanitizer_handover.h"
#include "kv/strict_checks.h"

namespace kv::ui {

namespace {

std::atomic<size_t> pendingCalls{0};
std::atomic<size_t> postedCalls{0};

QEvent::Type uiCallEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void countPosted() {
    ++postedCalls;
    const size_t waiting = ++pendingCalls;
    if (waiting > kPendingUiCallLimit && strictChecks())
        qFatal("%zu closures wait for the user-interface thread (more than %zu): a worker floods the window", waiting,
               kPendingUiCallLimit);
}

// One closure on its way to the user-interface thread: built by the thread that posts it, read and
// destroyed on the user-interface thread, or destroyed unrun when its context went first.
class UiCallEvent : public QEvent {
public:
    UiCallEvent(QObject* context, std::function<void()> action)
        : QEvent(uiCallEventType()), context_(context), hasContext_(context != nullptr), action_(std::move(action)) {
        countPosted();
    }
    ~UiCallEvent() override { --pendingCalls; }
    UiCallEvent(const UiCallEvent&) = delete;
    UiCallEvent& operator=(const UiCallEvent&) = delete;

    void run() {
        if (!hasContext_ || context_) action_();
    }

private:
    QPointer<QObject> context_;
    const bool hasContext_;
    std::function<void()> action_;
};

// The receiver of the closures, living on the user-interface thread. It is no widget, so the
// sheet's key filter passes its events by without reading them.
class UiDispatcher : public QObject {
public:
    using QObject::QObject;
    bool event(QEvent* event) override {
        // Before anything of the event is read: it was built on the posting thread.
        acquireHandover(event);
        if (event->type() != uiCallEventType()) return QObject::event(event);
        static_cast<UiCallEvent*>(event)->run();
        return true;
    }
};

// Made with the application, on its thread, before any worker can post; gone with it.
QPointer<UiDispatcher> dispatcherInstance;

QObject* dispatcher() { return dispatcherInstance.data(); }

void post(QObject* context, std::function<void()> action) {
    if (!QCoreApplication::instance() || !dispatcher()) return;
    auto* event = new UiCallEvent(context, std::move(action));
    releaseHandover(event);
    QCoreApplication::postEvent(dispatcher(), event);
}

// The caller of runOnUiThread waits for this; the closure's end (after it ran, or dropped unrun
// with the queue) wakes it.
struct Handover {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

class WakeOnEnd {
public:
    explicit WakeOnEnd(std::shared_ptr<Handover> handover) : handover_(std::move(handover)) {}
    ~WakeOnEnd() {
        {
            const std::lock_guard lock(handover_->mutex);
            handover_->done = true;
        }
        handover_->ended.notify_all();
    }
    WakeOnEnd(const WakeOnEnd&) = delete;
    WakeOnEnd& operator=(const WakeOnEnd&) = delete;

private:
    std::shared_ptr<Handover> handover_;
};

}  // namespace

void makeUiDispatcher() { dispatcherInstance = new UiDispatcher(QCoreApplication::instance()); }
Q_COREAPP_STARTUP_FUNCTION(makeUiDispatcher)

bool onUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void postToUi(QObject* context, std::function<void()> action) { post(context, std::move(action)); }

void runOnUiThread(const std::function<void()>& action) {
    if (onUiThread() || !QCoreApplication::instance()) {
        action();
        return;
    }
    auto handover = std::make_shared<Handover>();
    auto wake = std::make_shared<WakeOnEnd>(handover);
    post(nullptr, [&action, wake] { action(); });
    wake.reset();
    std::unique_lock lock(handover->mutex);
    handover->ended.wait(lock, [&handover] { return handover->done; });
}

size_t pendingUiCalls() { return pendingCalls.load(); }

size_t postedUiCalls() { return postedCalls.load(); }

struct CoalescedUiCall::State {
    std::atomic<bool> queued{false};
    std::function<void()> action;
};

CoalescedUiCall::CoalescedUiCall(std::function<void()> action) : state_(std::make_shared<State>()) {
    state_->action = std::move(action);
}

void CoalescedUiCall::request() const {
    if (state_->queued.exchange(true)) return;
    postToUi(nullptr, [state = state_] {
        // Cleared first: a change made while the action draws asks for the next drawing.
        state->queued = false;
        state->action();
    });
}

}  // namespace kv::ui
