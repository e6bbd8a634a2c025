// The adapter's receive packet filter: which frames pass for each filter setting.
#include "kv/sim/adapter/packet_filter.h"

#include <gtest/gtest.h>

#include <vector>

#include "kv/bytes.h"

namespace kv::sim {
namespace {

std::vector<uint8_t> frameTo(const ethernet::Mac& to) {
    std::vector<uint8_t> f(60, 0);
    std::copy(to.begin(), to.end(), f.begin());
    return f;
}

uint32_t setFilter(PacketFilter& filter, uint32_t bits) {
    std::vector<uint8_t> data(8, 0);
    writeU32(data, 0, bits);
    OidCall call{0x0001010E, true, data};
    Adapter adapter;
    return *filter.handle(call, adapter);
}

TEST(PacketFilterTest, PassesByDestinationAndSetting) {
    const ethernet::Mac own = {0x00, 0x1D, 0x7A, 0x00, 0x00, 0x01};
    const ethernet::Mac other = {0x00, 0x1D, 0x7A, 0x00, 0x00, 0x02};
    const ethernet::Mac group = {0x01, 0x00, 0x5E, 0x00, 0x00, 0x01};
    struct Case {
        uint32_t bits;
        bool own, other, broadcast, group;
    } cases[] = {
        {0x00, false, false, false, false}, {0x01, true, false, false, false}, {0x08, false, false, true, false},
        {0x09, true, false, true, false},   {0x02, false, false, false, true}, {0x04, false, false, false, true},
        {0x20, true, true, true, true},
    };
    PacketFilter filter;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        EXPECT_EQ(setFilter(filter, c.bits), 0u);
        EXPECT_EQ(filter.accepts(own, frameTo(own)), c.own);
        EXPECT_EQ(filter.accepts(own, frameTo(other)), c.other);
        EXPECT_EQ(filter.accepts(own, frameTo(ethernet::kBroadcast)), c.broadcast);
        EXPECT_EQ(filter.accepts(own, frameTo(group)), c.group);
    }
    // A runt without a full header never passes; bits the miniport lacks are refused.
    EXPECT_FALSE(filter.accepts(own, std::vector<uint8_t>(10, 0xFF)));
    EXPECT_EQ(setFilter(filter, 0x1000), 50u);
    EXPECT_EQ(filter.bits(), 0x20u);
}

}  // namespace
}  // namespace kv::sim
