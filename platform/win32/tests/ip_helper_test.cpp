// The system's adapter table and its two-call buffer protocol.
#include "kv/platform/ip_helper.h"

#include "kv/platform/types.h"
#include "win32_test_support.h"

namespace kv::test {
namespace {

using namespace platform;

constexpr uint32_t kErrorNoData = 232;

TEST(IpHelperTest, TheTableComesWithTheSizeTheFirstCallAsksFor) {
    uint32_t required = 0;
    std::vector<AdapterAddressInfo> table;
    const uint32_t first = ipHelper().adaptersInfo(0, &required, &table);
    if (first == kErrorNoData) GTEST_SKIP() << "the system has no network adapter";
    ASSERT_EQ(first, err::kBufferOverflow);
    ASSERT_GT(required, 0u);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(ipHelper().adaptersInfo(required - 1, &required, &table), err::kBufferOverflow);

    ASSERT_EQ(ipHelper().adaptersInfo(required, &required, &table), err::kSuccess);
    ASSERT_FALSE(table.empty());
    for (const auto& a : table) {
        EXPECT_FALSE(a.adapterName.empty());
        EXPECT_LE(a.hardwareAddress.size(), 8u);
        ASSERT_FALSE(a.ipAddresses.empty());
        EXPECT_EQ(a.ipAddresses.size(), a.ipMasks.size());
    }
}

}  // namespace
}  // namespace kv::test
