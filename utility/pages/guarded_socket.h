// A socket that one thread uses while another may close it at any moment. A close shuts the
// socket down, which ends a call blocked on it, and marks it closed: the next call sees that and
// fails without touching the handle. The handle itself is closed only once no call is using it,
// so a call never runs on a handle that was closed, or closed and handed to another socket.
#pragma once

#include <mutex>
#include <optional>

#include "kv/platform/sockets.h"

namespace kv::diag {

class GuardedSocket {
public:
    GuardedSocket() = default;
    ~GuardedSocket();
    GuardedSocket(const GuardedSocket&) = delete;
    GuardedSocket& operator=(const GuardedSocket&) = delete;

    // Takes the socket over. False when the slot was closed already (or holds one): the socket
    // is then closed at once.
    bool adopt(platform::SocketHandle socket);

    // Runs `call(handle)` unless the socket is closed (or was never adopted): nullopt then.
    template <typename Call>
    auto use(Call call) -> std::optional<decltype(call(platform::SocketHandle{}))> {
        platform::SocketHandle handle = platform::kInvalidSocket;
        {
            const std::lock_guard lock(mutex_);
            if (closed_ || handle_ == platform::kInvalidSocket) return std::nullopt;
            handle = handle_;
            ++users_;
        }
        auto result = call(handle);
        release();
        return result;
    }

    // Shuts the socket down and marks it closed; the handle is closed now or when the last call
    // using it returns. Later closes do nothing.
    void close();
    bool closed() const;

private:
    void release();

    mutable std::mutex mutex_;
    platform::SocketHandle handle_ = platform::kInvalidSocket;
    int users_ = 0;
    bool closed_ = false;
};

}  // namespace kv::diag
