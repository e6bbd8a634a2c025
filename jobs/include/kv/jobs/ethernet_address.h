// Ethernet addresses as people write them: the Wake On LAN page's field of twelve hexadecimal
// digits ("00E0AABBCCDD"), the common spellings a script passes ("00-1D-7A-00-00-01",
// "00:1d:7a:00:00:01", "001d.7a00.0001"), and the text the pages show.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv::jobs {

using EthernetAddress = std::array<uint8_t, 6>;

// The six bytes of a field of exactly twelve hexadecimal digits, in either case. Anything else
// (fewer digits, a blank, a separator, a letter past F) is no address: a magic packet for a guessed
// or half-typed address would wake the wrong computer or none, so nothing is sent for it.
std::optional<EthernetAddress> parseEthernetAddress(std::string_view text);

// Twelve hexadecimal digits, or six pairs joined by one kind of separator ('-' or ':'), or three
// groups of four joined by '.'; either case. Mixed separators, a missing digit or a stray
// character are no address, for the same reason.
std::optional<EthernetAddress> parseEthernetAddressAnySpelling(std::string_view text);

// What the page's address field keeps of a text typed or pasted into it: its hexadecimal digits,
// the separators of the common spellings dropped ("00-1D-7A-44-50-99", "00:1d:7a:44:50:99",
// blanks), as long as there are at most twelve of them. Nullopt for a text with any other character
// or more digits: the field then refuses it.
std::optional<std::string> ethernetAddressDigits(std::string_view text);

// "00-1d-7a-00-00-01": lower-case pairs joined by hyphens, as the General page shows it.
std::string ethernetAddressText(const uint8_t* address);

}  // namespace kv::jobs
