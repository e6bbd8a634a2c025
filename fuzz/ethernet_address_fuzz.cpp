// The Wake On LAN page's Ethernet address field: an address comes out exactly for twelve
// hexadecimal digits, and it spells the field back digit for digit; what the field keeps of a
// typed or pasted text is hexadecimal digits only, twelve at most, in the text's order.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "fuzz_check.h"
#include "pages/ethernet_address.h"

using kv::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto digits = kv::diag::ethernetAddressDigits(text)) {
        check(digits->size() <= 12, "twelve digits at most");
        size_t from = 0;
        for (char c : *digits) {
            check(std::isxdigit(static_cast<unsigned char>(c)), "digits only");
            from = text.find(c, from);
            check(from != std::string_view::npos, "the text's own digits, in order");
            ++from;
        }
    }

    const auto address = kv::diag::parseEthernetAddress(text);

    bool allHex = text.size() == 12;
    for (char c : text) allHex = allHex && std::isxdigit(static_cast<unsigned char>(c));
    check(address.has_value() == allHex, "an address exactly for twelve hexadecimal digits");
    if (!address) return 0;

    char spelled[13];
    std::snprintf(spelled, sizeof spelled, "%02X%02X%02X%02X%02X%02X", (*address)[0], (*address)[1], (*address)[2],
                  (*address)[3], (*address)[4], (*address)[5]);
    for (size_t i = 0; i < 12; ++i)
        check(spelled[i] == std::toupper(static_cast<unsigned char>(text[i])), "the bytes spell the field back");
    return 0;
}
