// The "Diagnostics::Send and Receive" page: a ping-pong test between two computers on one LAN,
// each running the utility on its adapter. "Start" gives the adapter the role's fixed address
// (Responder 192.168.12.1, Initiator 192.168.12.2), restarts its driver and starts the role's
// worker thread (send_receive_workers.h); "Stop" ends the test and puts the adapter's settings
// back. The page and its worker share the test's state (send_receive_link.h).
#pragma once

#include <memory>

#include "framework/property_page.h"
#include "framework/worker_thread.h"
#include "pages/send_receive_link.h"

namespace kv::diag {

class PageServices;

class CBcstTRxPage : public ui::PropertyPage, private SendReceiveView {
    Q_OBJECT

public:
    explicit CBcstTRxPage(PageServices& services);
    ~CBcstTRxPage() override;

    bool onSetActive() override;
    void onSheetEnding() override { stop(); }

    TestRole role() const { return role_; }
    // The current test (null before the first "Start").
    std::shared_ptr<const SendReceiveLink> link() const { return link_; }

protected:
    void onCommand(int id, int notification) override;

private:
    void chooseRole(TestRole role);
    void start();
    void stop();
    bool testRunning() const { return link_ && link_->running(); }

    // SendReceiveView.
    void showCounters(int sent, int received) override;
    void testEnded() override;
    void workerEnded() override;

    PageServices& services_;
    TestRole role_ = TestRole::Initiator;
    std::shared_ptr<SendReceiveLink> link_;
    ui::WorkerHandle worker_;
};

}  // namespace kv::diag
