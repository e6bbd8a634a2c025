// Ethernet II frames as the simulated hardware sees them: addresses, the type field, and the
// test frames of the diagnostic library (type 0x1D7A stored low byte first).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kv::sim::ethernet {

using Mac = std::array<uint8_t, 6>;

inline constexpr size_t kHeaderBytes = 14;
inline constexpr Mac kBroadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// The destination and source addresses; all zero for a frame too short to hold them.
inline Mac destination(std::span<const uint8_t> frame) {
    Mac mac{};
    if (frame.size() >= 6) std::copy_n(frame.begin(), 6, mac.begin());
    return mac;
}
inline Mac source(std::span<const uint8_t> frame) {
    Mac mac{};
    if (frame.size() >= 12) std::copy_n(frame.begin() + 6, 6, mac.begin());
    return mac;
}
// The type field in network byte order; 0 for a frame without one.
inline uint16_t type(std::span<const uint8_t> frame) {
    return frame.size() >= kHeaderBytes ? static_cast<uint16_t>((frame[12] << 8) | frame[13]) : 0;
}
// The diagnostic library's own frames carry 0x7A 0x1D in bytes 12-13.
inline bool isTestFrame(std::span<const uint8_t> frame) {
    return frame.size() >= kHeaderBytes && frame[12] == 0x7A && frame[13] == 0x1D;
}
inline bool isGroupAddress(const Mac& mac) { return (mac[0] & 0x01) != 0; }

// "00-1d-7a-44-50-01", as the suite prints addresses.
inline std::string macText(const Mac& mac) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < mac.size(); ++i) {
        if (i) out.push_back('-');
        out.push_back(digits[mac[i] >> 4]);
        out.push_back(digits[mac[i] & 15]);
    }
    return out;
}

}  // namespace kv::sim::ethernet
