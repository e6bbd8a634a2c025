// The VLAN ID a user types into the VLAN list: the number at the start of the text, read as a
// "%d" conversion reads it — blanks, an optional sign, decimal digits, up to the first other
// character ("12abc" is 12) — and kept only when it is a VLAN ID.
#pragma once

#include <optional>
#include <string_view>

namespace kv::diag {

inline constexpr int kLowestVlanId = 1;
inline constexpr int kHighestVlanId = 4094;

// The VLAN ID the text starts with; none when the text does not start with a number, or when the
// number is not from 1 to 4094 — a number too large for an int is out of range too, never cut to
// some other value.
std::optional<int> vlanIdFromText(std::string_view text);

}  // namespace kv::diag
