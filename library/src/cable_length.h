// The PHY's cable-length estimate: the low byte L of page 1 register 30, latched by writing 1 to
// page 1 register 4. The gigabit estimator counts in steps of its own, 2 x L - 14 metres; at 10
// and 100 Mbit/s L is the length in metres. The green feature's stages read the length this way;
// the cable analysis reports L as latched.
#pragma once

#include <cstdint>

namespace kv::lib {

inline constexpr uint16_t kCableLengthPage = 1;
inline constexpr uint16_t kCableLengthMeasure = 4;
inline constexpr uint16_t kCableLengthEstimate = 0x1E;

inline int16_t cableLengthFromEstimate(uint8_t low, uint32_t mbps) {
    return static_cast<int16_t>(mbps == 1000 ? 2 * low - 14 : low);
}

}  // namespace kv::lib
