// The worker watch: while a page's worker thread runs, the window keeps the user away from the
// adapter and page selection. The window polls the worker (timer::kWorkerWatch, 5000 ms) with a 1 ms wait.
#pragma once

#include <cstdint>

#include "framework/worker_thread.h"

namespace kv::diag {

inline constexpr uint32_t kWorkerWatchPeriodMs = 5000;
inline constexpr uint32_t kWorkerWaitMs = 1;

class WorkerWatch {
public:
    // Keeps the worker and what to do at its end; false for a null handle, which is ignored.
    bool start(ui::WorkerHandle worker, bool refreshAfter, bool disableActivePage);

    enum class Poll { StillRunning, Ended };
    // One poll: Ended when the worker has ended (or there is none); the watch then lets it go.
    Poll poll();
    // Read once the watch has ended: the adapter list is to be refreshed now. Clears the flag.
    bool takeRefreshAfter();
    // A refresh asked for while the worker runs: it follows the worker's end.
    void refreshAfterwards() { refreshAfter_ = true; }
    // Lets the worker go without waiting for its end; no refresh follows.
    void stop();

    bool watching() const { return worker_ != nullptr; }
    // The worker being watched; null when none.
    const ui::WorkerHandle& worker() const { return worker_; }
    bool disableActivePage() const { return disableActivePage_; }

private:
    ui::WorkerHandle worker_;
    bool refreshAfter_ = false;
    bool disableActivePage_ = false;
};

}  // namespace kv::diag
