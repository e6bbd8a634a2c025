// IPv4 addresses in dotted form: a strict reader (four decimal numbers of one to three digits,
// each at most 255, separated by dots, nothing around them) and the writer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

using Ipv4 = std::array<uint8_t, 4>;

template <typename Char>
std::optional<Ipv4> parseIpv4(std::basic_string_view<Char> text) {
    Ipv4 ip{};
    size_t pos = 0;
    for (size_t part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != Char('.')) return std::nullopt;
            ++pos;
        }
        unsigned value = 0;
        size_t digits = 0;
        while (pos < text.size() && text[pos] >= Char('0') && text[pos] <= Char('9') && digits < 3) {
            value = value * 10 + static_cast<unsigned>(text[pos++] - Char('0'));
            ++digits;
        }
        if (digits == 0 || value > 255) return std::nullopt;
        ip[part] = static_cast<uint8_t>(value);
    }
    if (pos != text.size()) return std::nullopt;
    return ip;
}
inline std::optional<Ipv4> parseIpv4(std::string_view text) { return parseIpv4<char>(text); }
inline std::optional<Ipv4> parseIpv4(std::u16string_view text) { return parseIpv4<char16_t>(text); }

// Whether `other` lies in the subnet of `address` with `mask`.
inline bool sameSubnet(const Ipv4& address, const Ipv4& mask, const Ipv4& other) {
    for (size_t i = 0; i < 4; ++i)
        if ((address[i] & mask[i]) != (other[i] & mask[i])) return false;
    return true;
}

inline std::string ipv4Text(const Ipv4& ip) {
    return std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) + "." +
           std::to_string(ip[3]);
}

}  // namespace kv
