#include "kv/jobs/ethernet_address.h"

#include <cstdio>
#include <tuple>
#include <utility>

namespace kv::jobs {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Between the digit pairs of the common spellings, and around a pasted address.
bool isSeparator(char c) { return c == '-' || c == ':' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text without its separators, when they stand exactly every `group` digits.
std::optional<std::string> digitsBetween(std::string_view text, char separator, size_t group) {
    const size_t groups = 12 / group;
    if (text.size() != 12 + groups - 1) return std::nullopt;
    std::string digits;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool separatorPlace = (i + 1) % (group + 1) == 0;
        if (separatorPlace != (text[i] == separator)) return std::nullopt;
        if (!separatorPlace) digits += text[i];
    }
    return digits;
}

}  // namespace

std::optional<EthernetAddress> parseEthernetAddress(std::string_view text) {
    EthernetAddress address{};
    if (text.size() != address.size() * 2) return std::nullopt;
    for (size_t i = 0; i < address.size(); ++i) {
        const int high = hexDigit(text[2 * i]);
        const int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        address[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return address;
}

std::optional<EthernetAddress> parseEthernetAddressAnySpelling(std::string_view text) {
    if (text.size() == 12) return parseEthernetAddress(text);
    for (const auto& [separator, group] :
         {std::pair{'-', size_t{2}}, std::pair{':', size_t{2}}, std::pair{'.', size_t{4}}})
        if (const auto digits = digitsBetween(text, separator, group)) return parseEthernetAddress(*digits);
    return std::nullopt;
}

std::optional<std::string> ethernetAddressDigits(std::string_view text) {
    constexpr size_t kDigits = std::tuple_size_v<EthernetAddress> * 2;
    std::string digits;
    for (char c : text) {
        if (hexDigit(c) >= 0) {
            if (digits.size() == kDigits) return std::nullopt;
            digits.push_back(c);
        } else if (!isSeparator(c)) {
            return std::nullopt;
        }
    }
    return digits;
}

std::string ethernetAddressText(const uint8_t* address) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x-%02x-%02x-%02x-%02x-%02x", address[0], address[1], address[2], address[3],
                  address[4], address[5]);
    return text;
}

}  // namespace kv::jobs
