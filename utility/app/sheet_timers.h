// The main window's timers by id, in one list so that no two users of the window's timers share
// one. A page's own timers (the Statistics page's refresh) are the page's, apart from these.
#pragma once

#include <cstdint>

namespace kv::diag::timer {

enum Id : int {
    kRefresh = 1,      // the adapter-list refresh, asked for by a page or the window protocol
    kWorkerWatch = 2,  // the poll of the watched worker thread (worker_watch.h)
    kHiddenStart = 5,  // the hidden start's first tick, which hides the window into the tray
    kTrayFrame = 6,    // the tray animation's frames (tray_animation.h)
    kTrayHold = 7,     // the tray animation's last frame held
};

inline constexpr uint32_t kRefreshMs = 100;

}  // namespace kv::diag::timer
