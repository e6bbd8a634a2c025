#include "message_value.h"

#include <charconv>
#include <limits>

namespace kv::kelvapost {

std::optional<intptr_t> parseMessageValue(std::string_view text) {
    for (const NamedValue& named : kNamedValues)
        if (text == named.name) return named.value;
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    // Up to the width of the lParam: any unsigned 32-bit value, and the signed range of intptr_t.
    const uint64_t limit = negative ? uint64_t(std::numeric_limits<intptr_t>::max()) + 1
                                    : std::max<uint64_t>(std::numeric_limits<uint32_t>::max(),
                                                         uint64_t(std::numeric_limits<intptr_t>::max()));
    if (magnitude > limit) return std::nullopt;
    return negative ? static_cast<intptr_t>(0 - magnitude) : static_cast<intptr_t>(magnitude);
}

}  // namespace kv::kelvapost
