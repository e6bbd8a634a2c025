#include "pages/send_receive_page.h"

#include "pages/page_guard.h"
#include "pages/send_receive_workers.h"
#include "pages/tcpip_backup.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "session/page_services.h"

namespace kv::diag {

namespace ctl = res::ctl;

namespace {

constexpr char kTestMask[] = "255.255.255.0";

int radioOf(TestRole role) {
    return role == TestRole::Responder ? ctl::kSendReceiveResponder : ctl::kSendReceiveInitiator;
}

}  // namespace

CBcstTRxPage::CBcstTRxPage(PageServices& services) : ui::PropertyPage(sendReceiveDialog()), services_(services) {}

CBcstTRxPage::~CBcstTRxPage() {
    if (!link_) return;
    link_->setView(nullptr);
    link_->setActive(false);
    // A test still running ends with the page: its sockets close, which ends the worker, and the
    // adapter gets its settings back here rather than from a worker that outlives the window.
    if (link_->clearRunning()) {
        const auto saved = link_->takeSavedSettings(false);
        link_->closeSockets();
        if (saved) link_->restoreSettings(*saved, false);
    }
}

bool CBcstTRxPage::onSetActive() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return true;
    // A test whose worker still runs stays as it is (the worker watch keeps the user here).
    if (link_ && !link_->workerEnded()) return ui::PropertyPage::onSetActive();
    // A test left running by a worker that ended (a comparison failure) ends as "Stop" ends it.
    if (testRunning()) stop();
    chooseRole(TestRole::Initiator);
    if (link_) link_->resetCounters();
    showCounters(0, 0);
    return ui::PropertyPage::onSetActive();
}

void CBcstTRxPage::onCommand(int id, int notification) {
    if (notification != ui::notify::kClicked) return;
    switch (id) {
        case ctl::kSendReceiveInitiator:
            return chooseRole(testRunning() ? role_ : TestRole::Initiator);
        case ctl::kSendReceiveResponder:
            return chooseRole(testRunning() ? role_ : TestRole::Responder);
        case ctl::kSendReceiveStart:
            return start();
        case ctl::kSendReceiveStop:
            return stop();
        default:
            return;
    }
}

void CBcstTRxPage::chooseRole(TestRole role) {
    role_ = role;
    checkRadioButton(ctl::kSendReceiveInitiator, ctl::kSendReceiveResponder, radioOf(role));
}

void CBcstTRxPage::start() {
    if (testRunning()) return;
    // The previous test's worker still winds down (it may be putting the settings back): the
    // library must not be driven from here at the same time.
    if (link_ && !link_->workerEnded()) return;
    if (checkAdapter(services_) != AdapterAccess::Ready) return;

    if (link_) link_->setView(nullptr);
    link_ = SendReceiveLink::make(role_);
    link_->setView(this);
    link_->setActive(true);
    link_->setRunning();
    enableControl(ctl::kSendReceiveStart, false);
    enableControl(ctl::kSendReceiveStop, false);
    showCounters(0, 0);

    link_->saveSettings(readTcpipBackup(services_.session()));
    setTestAddress(link_->ownAddress(), kTestMask);

    const std::shared_ptr<SendReceiveLink> link = link_;
    worker_ = ui::WorkerThread::start(
        [link] { return link->role() == TestRole::Responder ? runResponder(link) : runInitiator(link); });
    if (worker_) {
        services_.watchWorker(worker_, false, false);
        enableControl(ctl::kSendReceiveStop, true);
        return;
    }
    enableControl(ctl::kSendReceiveStart, true);
    enableControl(ctl::kSendReceiveStop, false);
    link_->clearRunning();
    link_->closeSockets();
    link_->restoreSavedSettings(false);
    link_->markWorkerEnded();
}

void CBcstTRxPage::stop() {
    if (!link_) return;
    link_->setActive(false);
    if (!link_->clearRunning()) return;
    // Taken before the sockets close: the worker they wake finds nothing left to restore.
    const auto saved = link_->takeSavedSettings(false);
    // Ends an accept, connect, send or receive the worker is blocked in.
    link_->closeSockets();
    // "Start" waits for the worker's end: until then it still winds down (and may still put the
    // settings back), and the next test must not drive the library beside it.
    enableControl(ctl::kSendReceiveStart, link_->workerEnded());
    enableControl(ctl::kSendReceiveStop, false);
    // The counters as the test left them, whatever drawing is still queued.
    const auto [sent, received] = link_->counters();
    showCounters(sent, received);
    worker_.reset();
    if (saved) link_->restoreSettings(*saved, false);
    // While the worker itself puts the settings back it still drives the library: the watch
    // then ends by its poll, once the worker has ended.
    if (!link_->workerRestoring()) services_.endWorkerWatch();
}

void CBcstTRxPage::showCounters(int sent, int received) {
    setControlText(ctl::kSendReceiveSent, QString::number(sent));
    setControlText(ctl::kSendReceiveReceived, QString::number(received));
}

void CBcstTRxPage::testEnded() {
    enableControl(ctl::kSendReceiveStart, link_ && link_->workerEnded());
    enableControl(ctl::kSendReceiveStop, true);
}

void CBcstTRxPage::workerEnded() {
    if (!testRunning()) enableControl(ctl::kSendReceiveStart, true);
}

}  // namespace kv::diag
