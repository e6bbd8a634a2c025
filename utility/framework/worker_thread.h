// A worker thread a page starts: the window keeps its handle and waits on it with a time-out
// (on the platform clock, so the virtual clock of the tests works). Workers never touch
// widgets: they post to the user-interface thread (postToUi, ui_thread.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace kv::ui {

class WorkerThread;
using WorkerHandle = std::shared_ptr<WorkerThread>;

class WorkerThread {
public:
    using Body = std::function<uint32_t()>;

    // Starts a thread running `body`; its result is the exit code. Null when the thread cannot be
    // created.
    static WorkerHandle start(Body body);

    // Dropping the last handle of a running thread leaves the thread running to its end.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits up to `ms` for the thread to end; true when it has ended.
    bool waitFor(uint32_t ms);
    bool hasEnded() const { return state_->ended.load(); }
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
};

}  // namespace kv::ui
