#include "pages/send_receive_link.h"

#include "framework/ui_thread.h"

namespace kv::diag {

namespace {
constexpr char kResponderAddress[] = "192.168.12.1";
constexpr char kInitiatorAddress[] = "192.168.12.2";
}  // namespace

std::shared_ptr<SendReceiveLink> SendReceiveLink::make(TestRole role) {
    auto link = std::make_shared<SendReceiveLink>(MadeByMake{}, role);
    link->counterDrawing_ = std::make_unique<ui::CoalescedUiCall>([weak = std::weak_ptr(link)] {
        const std::shared_ptr<SendReceiveLink> self = weak.lock();
        if (!self || !self->view_) return;
        const auto [sent, received] = self->counters();
        self->view_->showCounters(sent, received);
    });
    return link;
}

const char* SendReceiveLink::ownAddress() const {
    return role_ == TestRole::Responder ? kResponderAddress : kInitiatorAddress;
}

Ipv4Bytes SendReceiveLink::ownAddressBytes() const {
    return role_ == TestRole::Responder ? Ipv4Bytes{192, 168, 12, 1} : Ipv4Bytes{192, 168, 12, 2};
}

bool SendReceiveLink::running() const {
    const std::lock_guard lock(lock_);
    return running_;
}

void SendReceiveLink::setRunning() {
    const std::lock_guard lock(lock_);
    running_ = true;
}

bool SendReceiveLink::clearRunning() {
    const std::lock_guard lock(lock_);
    return std::exchange(running_, false);
}

void SendReceiveLink::resetCounters() {
    const std::lock_guard lock(lock_);
    sent_ = 0;
    received_ = 0;
}

void SendReceiveLink::countSent() {
    {
        const std::lock_guard lock(lock_);
        ++sent_;
    }
    postCounters();
}

void SendReceiveLink::countReceived() {
    {
        const std::lock_guard lock(lock_);
        ++received_;
    }
    postCounters();
}

std::pair<int, int> SendReceiveLink::counters() const {
    const std::lock_guard lock(lock_);
    return {sent_, received_};
}

void SendReceiveLink::closeSockets() {
    socket.close();
    connection.close();
}

void SendReceiveLink::saveSettings(const TcpipBackup& saved) {
    const std::lock_guard lock(lock_);
    saved_ = saved;
}

std::optional<TcpipBackup> SendReceiveLink::takeSavedSettings(bool byWorker) {
    const std::lock_guard lock(lock_);
    if (!saved_) return std::nullopt;
    workerRestoring_ = byWorker;
    return std::exchange(saved_, std::nullopt);
}

void SendReceiveLink::restoreSettings(const TcpipBackup& saved, bool byWorker) {
    {
        // The worker holds this only for its address reads, which never wait for the page: the
        // page may wait here. The worker's own restore runs without anyone waiting for it.
        const std::lock_guard library(libraryMutex_);
        restoreTcpipBackup(saved);
    }
    if (!byWorker) return;
    const std::lock_guard lock(lock_);
    workerRestoring_ = false;
}

bool SendReceiveLink::restoreSavedSettings(bool byWorker) {
    const auto saved = takeSavedSettings(byWorker);
    if (saved) restoreSettings(*saved, byWorker);
    return saved.has_value();
}

bool SendReceiveLink::workerRestoring() const {
    const std::lock_guard lock(lock_);
    return workerRestoring_;
}

bool SendReceiveLink::whileActive(const std::function<void()>& libraryCall) {
    const std::lock_guard library(libraryMutex_);
    if (!active()) return false;
    libraryCall();
    return true;
}

void SendReceiveLink::toView(std::function<void(SendReceiveView&)> action) {
    ui::postToUi(nullptr, [self = shared_from_this(), action = std::move(action)] {
        if (self->view_) action(*self->view_);
    });
}

void SendReceiveLink::postCounters() { counterDrawing_->request(); }

void SendReceiveLink::markWorkerEnded() {
    // Posted first: whoever sees the flag finds the page's news already on its way.
    toView([](SendReceiveView& view) { view.workerEnded(); });
    workerEnded_.store(true);
}

}  // namespace kv::diag
