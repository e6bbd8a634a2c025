#include "framework/worker_thread.h"

#include <system_error>

#include "kv/platform/system.h"

namespace kv::ui {

WorkerHandle WorkerThread::start(Body body) {
    WorkerHandle worker(new WorkerThread());
    try {
        // The thread keeps the state alive, also after the last handle is gone.
        worker->thread_ = std::thread([state = worker->state_, body = std::move(body)]() mutable {
            state->exitCode = body();
            state->ended = true;
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    worker->id_ = worker->thread_.get_id();
    return worker;
}

WorkerThread::~WorkerThread() {
    if (thread_.joinable()) {
        if (hasEnded()) {
            thread_.join();
        } else {
            thread_.detach();
        }
    }
}

bool WorkerThread::waitFor(uint32_t ms) {
    if (hasEnded()) return true;
    const std::shared_ptr<State> state = state_;
    return platform::clock().waitFor(ms, [state] { return state->ended.load(); });
}

void WorkerThread::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

}  // namespace kv::ui
