// The chip-kind flags: the low byte of the adapter record's ChipClass. The main window chooses the
// page set and reads the driver version number by them.
#pragma once

#include <cstdint>

#include "kelvalib.h"

namespace kv::diag {

namespace chipkind {
inline constexpr uint8_t k4420 = 0x02;       // the 4420 class
inline constexpr uint8_t k4410 = 0x04;       // 4410 and 4440
inline constexpr uint8_t k4450 = 0x08;       // 4430 and 4450
inline constexpr uint8_t kNoPages = 0x20;    // a chip that gets only the first two pages
inline constexpr uint8_t kLegacy = 0x80;     // counted with the 4420 class for the pages
inline constexpr uint8_t kVersioned = 0x8E;  // chips whose driver version number is read
}  // namespace chipkind

inline uint8_t chipKindFlags(const AdapterInfo& info) { return static_cast<uint8_t>(info.ChipClass & 0xFF); }

}  // namespace kv::diag
