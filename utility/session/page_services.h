// What the main window offers its pages: the adapter session (the one road to the library), the
// selected adapter, the adapter-ready flag, the driver version number, the shared adapter
// records, the delayed adapter-list refresh, the worker watch (started by a page, ended by its
// poll or at once by the page) and the window's menu commands. Pages see the window only through
// this interface.
#pragma once

#include <memory>

#include "kelvalib.h"

namespace kv::ui {
class WorkerThread;  // utility/framework/worker_thread.h
using WorkerHandle = std::shared_ptr<WorkerThread>;
}  // namespace kv::ui

namespace kv::diag {

class AdapterSession;

class PageServices {
public:
    virtual ~PageServices() = default;

    // The library, on the thread that holds it: the user-interface thread, except for the worker
    // the window watches.
    virtual AdapterSession& session() = 0;

    // The AdapterList index the pages work on; -1 when no adapter is selected.
    virtual int selectedAdapterIndex() const = 0;
    // 1 when the page set matches the selected adapter. Takes the window's mutex, so any
    // thread may ask.
    virtual int adapterReady() const = 0;
    // The second number of the driver version ("5.611.0.0" gives 611); -1 when not determined.
    virtual int driverVersionNumber() const = 0;

    // The records the window filled at the last refresh and selection. Written only on the
    // user-interface thread.
    virtual const AdapterList_A& adapterList() const = 0;
    virtual const AdapterInfo& adapterInfo() const = 0;
    virtual const DriverInfo_A& driverInfo() const = 0;

    // Rebuild the adapter list 100 ms from now (timer 1); a second request before it fires
    // changes nothing. While a worker holds the library the rebuild waits for its end.
    virtual void requestAdapterListRefresh() = 0;
    // The worker takes the library for its run: the window keeps the user away from everything
    // that would use the library (the adapter and page selection, the keys that move or end the
    // window, Close, the menus) until the worker has ended; a null handle is ignored.
    virtual void watchWorker(kv::ui::WorkerHandle worker, bool refreshAfter, bool disableActivePage) = 0;
    // Posts a command of the window's menu (menu 134, "&Refresh NIC List" say) to the window: it
    // runs later, on the user-interface thread (a refresh not before the watched worker's end).
    // Any thread may post.
    virtual void postCommand(int commandId) = 0;
    // Ends the watch at once, without waiting for the worker: the poll stops, the worker is
    // forgotten (no refresh follows), the window takes the library back and the user actions come
    // back. For a page that has stopped its worker itself, which makes no library call from then
    // on. Nothing while none is watched.
    virtual void endWorkerWatch() = 0;
};

}  // namespace kv::diag
