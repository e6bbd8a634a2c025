// A worker thread a page starts: the window keeps its handle and waits on it with a time-out
// (on the platform clock, so the virtual clock of the tests works). Workers never touch
// widgets: they post to the user-interface thread (postToUi, ui_thread.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <type_traits>
#include <utility>

namespace kv::ui {

class WorkerThread;
using WorkerHandle = std::shared_ptr<WorkerThread>;

// What a worker runs: any callable returning the exit code, move-only ones too, so that a worker
// can own the request it works on (a unique_ptr moved into it) and free it when it ends.
class WorkerBody {
public:
    WorkerBody() = default;
    template <typename F>
    requires(!std::is_same_v<std::decay_t<F>, WorkerBody>) WorkerBody(F body)
        : run_(std::make_unique<Callable<F>>(std::move(body))) {}

    explicit operator bool() const { return run_ != nullptr; }
    uint32_t operator()() { return run_ ? run_->run() : 0; }

private:
    struct Runnable {
        virtual ~Runnable() = default;
        virtual uint32_t run() = 0;
    };
    template <typename F>
    struct Callable final : Runnable {
        explicit Callable(F f) : body(std::move(f)) {}
        uint32_t run() override { return body(); }
        F body;
    };
    std::unique_ptr<Runnable> run_;
};

class WorkerThread {
public:
    using Body = WorkerBody;

    // Starts a thread running `body`; its result is the exit code. Null when the thread cannot be
    // created; `body` (and whatever it owns) is then destroyed.
    static WorkerHandle start(Body body);

    // Dropping the last handle of a running thread leaves the thread running to its end.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits up to `ms` for the thread to end; true when it has ended.
    bool waitFor(uint32_t ms);
    bool hasEnded() const { return state_->ended.load(); }
    // The thread's id, also once it has ended.
    std::thread::id id() const { return id_; }
    // The body's result once ended.
    uint32_t exitCode() const { return state_->exitCode.load(); }
    // Waits for the end however long it takes (shutdown, tests). Not from the thread itself.
    void join();

private:
    struct State {
        std::atomic<bool> ended{false};
        std::atomic<uint32_t> exitCode{0};
    };
    WorkerThread() : state_(std::make_shared<State>()) {}

    std::shared_ptr<State> state_;
    std::thread thread_;
    std::thread::id id_;
};

}  // namespace kv::ui
