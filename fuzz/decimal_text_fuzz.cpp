// The leading decimal number of a registry text or an edit field (advanced settings, the VLAN ID
// label): compared with the C runtime's strtoll on the same text. A number is read exactly when
// strtoll finds digits and the value fits 32 bits, and then it is the same number.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "kv/jobs/library_text.h"

using kv::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto number = kv::jobs::scanDecimal(text);

    // The C runtime reads up to the first zero byte, as the scan does (a zero byte is no digit).
    const std::string terminated(text.substr(0, text.find('\0')));
    const char* begin = terminated.c_str();
    char* end = nullptr;
    errno = 0;
    const long long expected = std::strtoll(begin, &end, 10);
    const bool digits = end != begin;
    const bool fits = errno != ERANGE && expected >= INT32_MIN && expected <= INT32_MAX;
    check(number.has_value() == (digits && fits), "a number exactly when there are digits and it fits");
    if (number) check(*number == expected, "the same number as the C runtime reads");
    return 0;
}
