// The library's 8-bit texts as the pages and the command line read them: a fixed text field of a
// record up to its zero, and the "%d"-style number at the start of a text (a registry value, an
// edit field, a driver version).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv::jobs {

// A text field of a library record: up to its first zero, never past the field.
std::string_view fieldText(const char* field, size_t capacity);
// The same field converted from the system code page to UTF-8.
std::string fieldUtf8(const char* field, size_t capacity);

// The number at the start of the text: leading blanks, an optional sign and decimal digits;
// whatever follows the digits is ignored ("64 frames" reads 64). None when there are no digits, or
// when the number does not fit a 32-bit signed integer (such a text cannot hold a valid setting, so
// it is not read at all rather than cut to some other value).
std::optional<int32_t> scanDecimal(std::string_view text);
// The same, taking the number off the front of `text`, which then starts after its digits; `text`
// stays as it was when there is no number.
std::optional<int32_t> takeDecimal(std::string_view& text);

}  // namespace kv::jobs
