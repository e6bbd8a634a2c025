// The Wake On LAN page's Ethernet address field: an address comes out exactly for twelve
// hexadecimal digits, and it spells the field back digit for digit; what the field keeps of a
// typed or pasted text is hexadecimal digits only, twelve at most, in the text's order. The
// spellings a script may pass read the same address from the same digits.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "kv/jobs/ethernet_address.h"

using kv::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto digits = kv::jobs::ethernetAddressDigits(text)) {
        check(digits->size() <= 12, "twelve digits at most");
        size_t from = 0;
        for (char c : *digits) {
            check(std::isxdigit(static_cast<unsigned char>(c)), "digits only");
            from = text.find(c, from);
            check(from != std::string_view::npos, "the text's own digits, in order");
            ++from;
        }
    }

    const auto address = kv::jobs::parseEthernetAddress(text);
    if (const auto spelled = kv::jobs::parseEthernetAddressAnySpelling(text)) {
        std::string digits;
        for (char c : text)
            if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
        check(kv::jobs::parseEthernetAddress(digits) == spelled, "a spelling reads the address of its digits");
    } else {
        check(!address, "twelve digits are a spelling too");
    }

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
