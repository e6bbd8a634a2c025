// What the local sockets of both host systems share: the address of a socket path, and moving a
// whole buffer through calls that may each move only part of it.
#pragma once

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>

namespace kv::platform::native {

// Fills a Unix-domain socket address (sockaddr_un); false when the path does
// not fit its field.
template <typename Address>
bool fillSocketAddress(const std::filesystem::path& path, Address* address, int family) {
    const std::string text = path.string();
    std::memset(address, 0, sizeof(*address));
    address->sun_family = static_cast<decltype(address->sun_family)>(family);
    if (text.size() >= sizeof(address->sun_path)) return false;
    std::memcpy(address->sun_path, text.c_str(), text.size() + 1);
    return true;
}

// Calls move(done) (the bytes it moved; 0 or less on failure or at the end) until `size` bytes
// have moved. False when a call moves nothing.
template <typename Move>
bool moveAll(size_t size, Move&& move) {
    size_t done = 0;
    while (done < size) {
        const auto n = move(done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace kv::platform::native
