// The chip-kind flags: the low byte of the adapter record's ChipClass, by which the suite tells the
// family's chips apart (which pages and jobs an adapter gets, whether its driver version counts).
#pragma once

#include <cstdint>
#include <string>

#include "kelvalib.h"

namespace kv::jobs {

namespace chipkind {
inline constexpr uint8_t k4420 = 0x02;         // the 4420 class
inline constexpr uint8_t k4410 = 0x04;         // 4410 and 4440
inline constexpr uint8_t k4450 = 0x08;         // 4430 and 4450
inline constexpr uint8_t kNoIpAddress = 0x10;  // a kind whose IP address is not shown
inline constexpr uint8_t kNoPages = 0x20;      // a chip that gets only the first two pages
inline constexpr uint8_t kLegacy = 0x80;       // counted with the 4420 class for the pages
inline constexpr uint8_t kVersioned = 0x8E;    // chips whose driver version number is read
inline constexpr uint8_t kPciKinds = 0x8E;     // chips whose PCI identity and driver are shown
}  // namespace chipkind

inline uint8_t chipKindFlags(const AdapterInfo& info) { return static_cast<uint8_t>(info.ChipClass & 0xFF); }

// The family's chip a PCI device id names ("4450"); empty for any other id.
std::string chipName(uint16_t deviceId);

}  // namespace kv::jobs
