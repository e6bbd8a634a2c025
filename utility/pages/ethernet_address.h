// The Ethernet address the Wake On LAN page reads from its field: twelve hexadecimal digits, two
// for each byte, first byte first ("00E0AABBCCDD").
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv::diag {

using EthernetAddress = std::array<uint8_t, 6>;

// The six bytes of a field of exactly twelve hexadecimal digits, in either case. Anything else
// (fewer digits, a blank, a separator, a letter past F) is no address: a magic packet for a guessed
// or half-typed address would wake the wrong computer or none, so nothing is sent for it.
std::optional<EthernetAddress> parseEthernetAddress(std::string_view text);

// What the address field keeps of a text typed or pasted into it: its hexadecimal digits, the
// separators of the common spellings dropped ("00-1D-7A-44-50-99", "00:1d:7a:44:50:99", blanks),
// as long as there are at most twelve of them. Nullopt for a text with any other character or
// more digits: the field then refuses it.
std::optional<std::string> ethernetAddressDigits(std::string_view text);

}  // namespace kv::diag
