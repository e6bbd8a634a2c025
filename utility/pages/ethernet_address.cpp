#include "pages/ethernet_address.h"

#include <tuple>

namespace kv::diag {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Between the digit pairs of the common spellings, and around a pasted address.
bool isSeparator(char c) { return c == '-' || c == ':' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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

}  // namespace kv::diag
