// The driver version number: the second of the four dot-separated numbers of the miniport
// driver's version ("5.611.0.0" gives 611). Pages and jobs use it to tell driver generations apart.
#pragma once

#include <cstdint>
#include <string_view>

namespace kv::jobs {

inline constexpr int kUnknownDriverVersion = -1;
// What a chip of the versioned kinds reports when its driver gives no version at all.
inline constexpr int kEmptyVersionNumber = 601;

// The number after a successful driver-information read. Only chips with a versioned kind and
// without the 0x20 flag have one: an empty version counts as 601, otherwise the second number
// read as "%d.%d.%d.%d" reads it. A version without a readable second number ("5", "5,611",
// "beta") gives -1, as for every other chip.
int driverVersionNumber(uint8_t chipFlags, std::string_view version);

}  // namespace kv::jobs
