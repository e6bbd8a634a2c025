// The controller's PHY registers that the library, the simulated PHY and the capture tool all
// name: four pages of 32 registers, register 31 of every page selecting the page of the word
// commands. Named once here so the writer of a register and its reader agree on its number.
#pragma once

#include <cstdint>

namespace kv::phy {

inline constexpr uint16_t kPages = 4;
inline constexpr uint16_t kRegisters = 32;
inline constexpr uint16_t kPageSelect = 0x1F;  // any page

// Page 0.
inline constexpr uint16_t kControl = 0x00;
inline constexpr uint16_t kStatus = 0x01;
inline constexpr uint16_t kIdentifier1 = 0x02;
inline constexpr uint16_t kIdentifier2 = 0x03;
inline constexpr uint16_t kLoopbackControl = 0x0B;
inline constexpr uint16_t kSpecificStatus = 0x11;
inline constexpr uint16_t kMdix = 0x0040;  // in the specific status: crossover resolved

// Page 1: the cable-length estimate. Writing 1 to the measure register latches the estimate into
// the low byte of the estimate register, 0xFF when there is none.
inline constexpr uint16_t kCableLengthPage = 1;
inline constexpr uint16_t kCableLengthMeasure = 0x04;
inline constexpr uint16_t kCableLengthEstimate = 0x1E;
inline constexpr uint16_t kNoLengthEstimate = 0xFF;

// Page 3: the pair test and the green feature's marker (bit 0: on).
inline constexpr uint16_t kTestPage = 3;
inline constexpr uint16_t kPairTestControl = 0x00;
inline constexpr uint16_t kGreenFeatureMarker = 0x19;
inline constexpr uint16_t kPairTestResult = 0x1C;
inline constexpr uint16_t kGreenFeatureOn = 0x0001;

// The latched estimate L in metres: at 10 and 100 Mbit/s L is the length; the gigabit estimator
// counts in steps of its own, (metres + 14) / 2, which read back as 2 x L - 14 metres.
inline int cableLengthFromEstimate(uint8_t low, uint32_t mbps) { return mbps == 1000 ? 2 * low - 14 : low; }

}  // namespace kv::phy
