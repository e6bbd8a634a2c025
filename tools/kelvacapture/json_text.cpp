#include "json_text.h"

#include <cstdio>

namespace kv::capture {

JsonValue hexByteLines(std::span<const uint8_t> bytes, size_t perLine) {
    JsonValue lines = JsonValue::array();
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        line += (line.empty() ? "" : " ") + std::string(pair);
        if ((i + 1) % perLine == 0 || i + 1 == bytes.size()) {
            lines.push(line);
            line.clear();
        }
    }
    return lines;
}

std::string hexWordLine(std::span<const uint16_t> words) {
    std::string line;
    for (uint16_t word : words) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x", word);
        line += (line.empty() ? "" : " ") + std::string(text);
    }
    return line;
}

std::string hexNumber(uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

}  // namespace kv::capture
