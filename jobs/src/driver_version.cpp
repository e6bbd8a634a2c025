#include "kv/jobs/driver_version.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <optional>

#include "kv/jobs/chip_kind.h"

namespace kv::jobs {

namespace {

// One "%d" conversion: blanks skipped, an optional sign, decimal digits; the text after it stays.
std::optional<int> scanInt(std::string_view& text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    if (at < text.size() && text[at] == '+') ++at;
    int value = 0;
    const char* begin = text.data() + at;
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (ec != std::errc()) return std::nullopt;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return value;
}

std::optional<int> secondNumber(std::string_view version) {
    if (!scanInt(version)) return std::nullopt;
    if (version.empty() || version.front() != '.') return std::nullopt;
    version.remove_prefix(1);
    return scanInt(version);
}

}  // namespace

int driverVersionNumber(uint8_t chipFlags, std::string_view version) {
    if ((chipFlags & chipkind::kVersioned) == 0 || (chipFlags & chipkind::kNoPages) != 0) return kUnknownDriverVersion;
    if (version.empty()) return kEmptyVersionNumber;
    return secondNumber(version).value_or(kUnknownDriverVersion);
}

std::string_view fieldText(const char* field, size_t capacity) {
    const void* end = std::memchr(field, 0, capacity);
    return {field, end ? static_cast<size_t>(static_cast<const char*>(end) - field) : capacity};
}

}  // namespace kv::jobs
