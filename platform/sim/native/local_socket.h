// What the simulated host takes from the system it runs on to carry window messages between the
// programs of one machine directory: local stream sockets named by a file path. One
// implementation per host system (local_socket_posix.cpp, local_socket_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>

namespace kv::platform::native {

// The folder of this user's local sockets (created when missing).
std::filesystem::path localSocketFolder();

// A socket listening at a path. Every connection carries one record of a fixed size; a listener
// thread reads it and hands it to the callback, and ignores connections that close early (a
// probe). Destroying the listener stops the thread and removes the path.
class LocalListener {
public:
    virtual ~LocalListener() = default;
};

using LocalRecordHandler = std::function<void(std::span<const uint8_t> record)>;

// Listens at the path (a stale socket file left there is replaced); null when it cannot.
std::unique_ptr<LocalListener> listenAt(const std::filesystem::path& path, size_t recordSize,
                                        LocalRecordHandler handler);

// Connects to the listener at the path, writes the bytes (none: only see whether it listens) and
// closes. False when nobody listens there.
bool sendTo(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace kv::platform::native
