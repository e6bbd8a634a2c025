// What the send-and-receive page and its worker thread share for one test: the role, the active
// flag, the running flag and the two counters under one lock, the two sockets, and the adapter's
// saved TCP/IP settings. Page and worker each hold it, so neither outlives what it uses: the
// worker never touches the page, only this, and reaches the page's controls by posting to the
// user-interface thread, where a page that is gone is simply not there any more.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "framework/ui_thread.h"
#include "pages/guarded_socket.h"
#include "pages/tcpip_backup.h"

namespace kv::diag {

enum class TestRole : int { Initiator = 1, Responder = 2 };

// The page as the test sees it, on the user-interface thread only.
class SendReceiveView {
public:
    virtual ~SendReceiveView() = default;
    virtual void showCounters(int sent, int received) = 0;
    // A failure has ended the test: "Stop" is enabled again ("Start" once the worker has ended).
    virtual void testEnded() = 0;
    // The worker has ended, its clean-up done: the library is free for the next "Start".
    virtual void workerEnded() = 0;
};

class SendReceiveLink : public std::enable_shared_from_this<SendReceiveLink> {
    struct MadeByMake {
        explicit MadeByMake() = default;
    };

public:
    static std::shared_ptr<SendReceiveLink> make(TestRole role);
    SendReceiveLink(MadeByMake, TestRole role) : role_(role) {}

    TestRole role() const { return role_; }
    // The address the role's adapter gets.
    const char* ownAddress() const;
    Ipv4Bytes ownAddressBytes() const;

    // Set by "Start", cleared by "Stop"; the worker polls it.
    bool active() const { return active_.load(); }
    void setActive(bool on) { active_.store(on); }

    bool running() const;
    void setRunning();
    // Clears the running flag; true when it was set (so only one of page and worker acts on it).
    bool clearRunning();
    void resetCounters();
    void countSent();
    void countReceived();
    std::pair<int, int> counters() const;  // sent, received

    // The Responder's listening socket or the Initiator's socket, and the accepted connection.
    GuardedSocket socket;
    GuardedSocket connection;
    void closeSockets();

    void saveSettings(const TcpipBackup& saved);
    // The saved settings are put back once per save: whoever takes them restores them. Nothing
    // (nullopt, false) when they were taken already. The worker says it is the one, so that the
    // page can tell it still drives the library.
    std::optional<TcpipBackup> takeSavedSettings(bool byWorker);
    void restoreSettings(const TcpipBackup& saved, bool byWorker);
    bool restoreSavedSettings(bool byWorker);
    bool workerRestoring() const;

    // Runs a library call of the worker unless the test is no longer active; the page's own
    // restore never overlaps it.
    bool whileActive(const std::function<void()>& libraryCall);

    // Posts to the page on the user-interface thread; nothing when the page is gone by then.
    void toView(std::function<void(SendReceiveView&)> action);
    // The page; set and cleared on the user-interface thread.
    void setView(SendReceiveView* view) { view_ = view; }
    // Asks the page to draw the counters. The counters change with every block, faster than a
    // window draws: the page draws them as they are when it gets to it, one drawing queued at most.
    void postCounters();

    // The worker's last step: the page hears of it on the user-interface thread.
    void markWorkerEnded();
    bool workerEnded() const { return workerEnded_.load(); }

private:
    const TestRole role_;
    std::atomic<bool> active_{false};
    std::atomic<bool> workerEnded_{false};

    mutable std::mutex lock_;  // the page lock: running flag, counters, saved settings
    bool running_ = false;
    int sent_ = 0;
    int received_ = 0;
    std::optional<TcpipBackup> saved_;
    bool workerRestoring_ = false;

    std::mutex libraryMutex_;  // the worker's address reads against the page's restore
    SendReceiveView* view_ = nullptr;
    std::unique_ptr<ui::CoalescedUiCall> counterDrawing_;  // made with the link, before any worker
};

}  // namespace kv::diag
