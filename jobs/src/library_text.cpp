#include "kv/jobs/library_text.h"

#include <cstring>

#include "kv/text.h"

namespace kv::jobs {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::string_view fieldText(const char* field, size_t capacity) {
    const void* end = std::memchr(field, 0, capacity);
    return {field, end ? static_cast<size_t>(static_cast<const char*>(end) - field) : capacity};
}

std::string fieldUtf8(const char* field, size_t capacity) {
    return utf16ToUtf8(ansiToUtf16(fieldText(field, capacity)));
}

std::optional<int32_t> takeDecimal(std::string_view& text) {
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    const size_t firstDigit = pos;
    int64_t magnitude = 0;
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;  // the magnitude of INT32_MIN
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        magnitude = magnitude * 10 + (text[pos++] - '0');
        if (magnitude > kLimit) return std::nullopt;
    }
    if (pos == firstDigit) return std::nullopt;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return std::nullopt;
    text.remove_prefix(pos);
    return static_cast<int32_t>(value);
}

std::optional<int32_t> scanDecimal(std::string_view text) { return takeDecimal(text); }

}  // namespace kv::jobs
