#include "pages/guarded_socket.h"

namespace kv::diag {

using platform::kInvalidSocket;
using platform::sockets;

GuardedSocket::~GuardedSocket() {
    // Nobody uses the socket any more: its owner is going.
    if (handle_ != kInvalidSocket) sockets().close(handle_);
}

bool GuardedSocket::adopt(platform::SocketHandle socket) {
    {
        const std::lock_guard lock(mutex_);
        if (!closed_ && handle_ == kInvalidSocket) {
            handle_ = socket;
            return true;
        }
    }
    if (socket != kInvalidSocket) sockets().close(socket);
    return false;
}

void GuardedSocket::close() {
    const std::lock_guard lock(mutex_);
    if (closed_) return;
    closed_ = true;
    if (handle_ == kInvalidSocket) return;
    // Ends an accept, connect, send or receive blocked on it; the handle stays valid meanwhile.
    sockets().shutdown(handle_, platform::ShutdownHow::Both);
    if (users_ == 0) {
        sockets().close(handle_);
        handle_ = kInvalidSocket;
    }
}

bool GuardedSocket::closed() const {
    const std::lock_guard lock(mutex_);
    return closed_;
}

void GuardedSocket::release() {
    const std::lock_guard lock(mutex_);
    if (--users_ == 0 && closed_ && handle_ != kInvalidSocket) {
        sockets().close(handle_);
        handle_ = kInvalidSocket;
    }
}

}  // namespace kv::diag
