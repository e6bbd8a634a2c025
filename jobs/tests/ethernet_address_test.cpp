// The Ethernet address spellings a script may pass for an adapter or a computer to wake.
#include "kv/jobs/ethernet_address.h"

#include <gtest/gtest.h>

namespace kv::jobs {
namespace {

TEST(EthernetAddress, ReadsEveryCommonSpellingAndNothingHalfTyped) {
    const EthernetAddress address = {0x00, 0x1D, 0x7A, 0x44, 0x50, 0x01};
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"00-1D-7A-44-50-01", true},
        {"00:1d:7a:44:50:01", true},
        {"001D7A445001", true},
        {"001d.7a44.5001", true},
        {"00-1D-7A-44-50-1", false},
        {"00-1D:7A-44-50-01", false},
        {"00-1D-7A-44-50-01-", false},
        {"001D-7A44-5001", false},
        {"00 1D 7A 44 50 01", false},
        {"00-1D-7A-44-50-0G", false},
        {"", false},
    };
    for (const auto& c : cases) {
        const auto parsed = parseEthernetAddressAnySpelling(c.text);
        EXPECT_EQ(parsed.has_value(), c.valid) << c.text;
        if (parsed) {
            EXPECT_EQ(*parsed, address) << c.text;
        }
    }
    EXPECT_EQ(ethernetAddressText(address.data()), "00-1d-7a-44-50-01");
}

}  // namespace
}  // namespace kv::jobs
