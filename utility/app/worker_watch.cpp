#include "app/worker_watch.h"

#include <utility>

namespace kv::diag {

bool WorkerWatch::start(ui::WorkerHandle worker, bool refreshAfter, bool disableActivePage) {
    if (!worker) return false;
    worker_ = std::move(worker);
    refreshAfter_ = refreshAfter;
    disableActivePage_ = disableActivePage;
    return true;
}

WorkerWatch::Poll WorkerWatch::poll() {
    if (worker_ && !worker_->waitFor(kWorkerWaitMs)) return Poll::StillRunning;
    worker_.reset();
    return Poll::Ended;
}

void WorkerWatch::stop() {
    worker_.reset();
    refreshAfter_ = false;
}

bool WorkerWatch::takeRefreshAfter() { return std::exchange(refreshAfter_, false); }

}  // namespace kv::diag
