#include "pages/send_receive_workers.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

#include "framework/message_box.h"
#include "kelvalib.h"
#include "kv/platform/sockets.h"
#include "kv/platform/system.h"
#include "pages/send_receive_link.h"

namespace kv::diag {

namespace {

using platform::kInvalidSocket;
using platform::SocketAddress;
using platform::SocketHandle;
using platform::sockets;

constexpr uint16_t kWinsockVersion = 0x0101;
constexpr uint16_t kPort = 8888;
constexpr Ipv4Bytes kResponderAddress{192, 168, 12, 1};
constexpr int kBacklog = 2;
constexpr size_t kMessageBytes = 1400;
constexpr size_t kReceiveBufferBytes = 2048;
constexpr uint32_t kSocketTimeoutMs = 100;
constexpr int kShortestTransfer = 10;
constexpr uint32_t kAddressPollMs = 500;
constexpr uint32_t kBeforeBindMs = 100;
constexpr uint32_t kBetweenMessagesMs = 100;
constexpr uint32_t kBeforeFailureMs = 500;

const char kCaption[] = "SOCKET ERROR";
const char kFailedSocket[] = "Failed socket()";
const char kFailedConnect[] = "Failed connect()";
const char kReceiveFailed[] = "recvfrom()";
const char kSendFailed[] = "sendto()";
const char kCompareFailed[] = "Compare date FAIL";

void sleepMs(uint32_t ms) { platform::clock().sleep(ms); }

void showSocketError(const char* text) { ui::messageBox(QString::fromLatin1(text), QString::fromLatin1(kCaption)); }

// The page goes back to idle after a failure, unless "Stop" got there first.
void endRun(SendReceiveLink& link) {
    if (link.clearRunning()) link.toView([](SendReceiveView& view) { view.testEnded(); });
}

// Every end of a worker: the sockets closed, Windows Sockets ended, the settings put back.
class WorkerEnd {
public:
    explicit WorkerEnd(const std::shared_ptr<SendReceiveLink>& link) : link_(link) {}
    ~WorkerEnd() {
        link_->closeSockets();
        if (socketsStarted) sockets().cleanup();
        link_->restoreSavedSettings(true);
        link_->markWorkerEnded();
    }
    WorkerEnd(const WorkerEnd&) = delete;
    WorkerEnd& operator=(const WorkerEnd&) = delete;
    bool socketsStarted = false;

private:
    std::shared_ptr<SendReceiveLink> link_;
};

// Starts Windows Sockets 1.1 and makes the role's TCP socket; false when either fails.
bool openSocket(SendReceiveLink& link, WorkerEnd& end) {
    if (sockets().startup(kWinsockVersion) != 0) return false;
    end.socketsStarted = true;
    const SocketHandle s = sockets().tcpSocket();
    return s != kInvalidSocket && link.socket.adopt(s);
}

// Waits until the adapter has the role's address, every 500 ms; false once the test is stopped.
bool waitForAddress(SendReceiveLink& link) {
    const Ipv4Bytes wanted = link.ownAddressBytes();
    for (;;) {
        Ipv4Bytes current{};
        if (!link.whileActive([&current] { API_GetIPAddress(current.data()); })) return false;
        if (current == wanted) return true;
        sleepMs(kAddressPollMs);
    }
}

// A socket call's result; a closed socket counts as a failed call.
int callResult(const std::optional<int>& result) { return result.value_or(platform::kSocketError); }

int sendOn(GuardedSocket& socket, std::span<const uint8_t> data) {
    return callResult(socket.use([data](SocketHandle s) { return sockets().send(s, data); }));
}

int receiveOn(GuardedSocket& socket, std::span<uint8_t> buffer) {
    return callResult(socket.use([buffer](SocketHandle s) { return sockets().receive(s, buffer); }));
}

// ---- Responder ----

bool listenForInitiator(SendReceiveLink& link) {
    sleepMs(kBeforeBindMs);
    const SocketAddress local{kResponderAddress, kPort};
    return callResult(link.socket.use([&local](SocketHandle s) {
               if (sockets().bind(s, local) != 0) return platform::kSocketError;
               return sockets().listen(s, kBacklog);
           })) == 0;
}

// Echoes blocks until a failure or "Stop"; the failure's message, or null after "Stop".
const char* echoBlocks(SendReceiveLink& link) {
    std::vector<uint8_t> buffer(kReceiveBufferBytes);
    while (link.active()) {
        const int received = receiveOn(link.connection, buffer);
        if (received < kShortestTransfer) return kReceiveFailed;
        link.countReceived();
        const auto block = std::span<const uint8_t>(buffer.data(), static_cast<size_t>(received));
        if (sendOn(link.connection, block) < kShortestTransfer) return kSendFailed;
        link.countSent();
    }
    return nullptr;
}

// ---- Initiator ----

bool setTimeouts(SendReceiveLink& link) {
    return callResult(link.socket.use([](SocketHandle s) {
               if (sockets().setReceiveTimeout(s, kSocketTimeoutMs) != 0) return platform::kSocketError;
               return sockets().setSendTimeout(s, kSocketTimeoutMs);
           })) == 0;
}

bool connectToResponder(SendReceiveLink& link) {
    const SocketAddress remote{kResponderAddress, kPort};
    return callResult(link.socket.use([&remote](SocketHandle s) { return sockets().connect(s, remote); })) == 0;
}

// The low byte of each of the runtime's pseudo-random numbers (never seeded).
void fillMessage(std::vector<uint8_t>& message) {
    for (uint8_t& byte : message) byte = static_cast<uint8_t>(std::rand() & 0xFF);
}

// After a failed send, receive or connect: a short pause, then, unless the test was stopped
// meanwhile, the message and the page back to idle.
void reportFailure(SendReceiveLink& link, const char* text) {
    sleepMs(kBeforeFailureMs);
    if (!link.active()) return;
    showSocketError(text);
    endRun(link);
}

}  // namespace

uint32_t runResponder(const std::shared_ptr<SendReceiveLink>& link) {
    WorkerEnd end(link);
    if (!openSocket(*link, end)) return 0;
    if (!waitForAddress(*link)) return 0;
    if (!listenForInitiator(*link)) return 0;

    const auto accepted = link->socket.use([](SocketHandle s) { return sockets().accept(s, nullptr); });
    const SocketHandle c = accepted.value_or(kInvalidSocket);
    if (c == kInvalidSocket) {
        if (!link->active()) return 0;
        showSocketError(kReceiveFailed);
        endRun(*link);
        return 0;
    }
    if (!link->connection.adopt(c)) return 0;

    const char* failure = echoBlocks(*link);
    if (failure && link->active()) {
        showSocketError(failure);
        link->connection.close();
        endRun(*link);
    }
    return 0;
}

uint32_t runInitiator(const std::shared_ptr<SendReceiveLink>& link) {
    WorkerEnd end(link);
    if (!openSocket(*link, end)) {
        if (link->active()) showSocketError(kFailedSocket);
        return 0;
    }
    if (!waitForAddress(*link)) return 0;
    if (!setTimeouts(*link)) return 0;
    if (!connectToResponder(*link)) {
        reportFailure(*link, kFailedConnect);
        return 0;
    }

    std::vector<uint8_t> message(kMessageBytes);
    std::vector<uint8_t> echo(kReceiveBufferBytes);
    for (;;) {
        fillMessage(message);
        if (sendOn(link->socket, message) < kShortestTransfer) {
            reportFailure(*link, kSendFailed);
            return 0;
        }
        link->countSent();
        if (!link->running()) return 0;

        std::fill(echo.begin(), echo.end(), uint8_t{0});
        const int received = receiveOn(link->socket, std::span<uint8_t>(echo.data(), kMessageBytes));
        if (received < kShortestTransfer) {
            reportFailure(*link, kReceiveFailed);
            return 0;
        }
        link->countReceived();
        if (!std::equal(echo.begin(), echo.begin() + received, message.begin())) {
            showSocketError(kCompareFailed);
            return 0;  // the page stays running until "Stop"
        }
        sleepMs(kBetweenMessagesMs);
        if (!link->active()) return 0;
    }
}

}  // namespace kv::diag
