// Reading a number out of a registry text or an edit field the way the advanced settings expect:
// leading blanks, an optional sign and decimal digits; whatever follows the digits is ignored
// ("64 frames" reads 64).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kv::jobs {

// The number at the start of the text; none when there are no digits, or when the number does not
// fit a 32-bit signed integer (such a text cannot hold a valid setting, so it is not read at all
// rather than cut to some other value).
std::optional<int32_t> scanDecimal(std::string_view text);

}  // namespace kv::jobs
