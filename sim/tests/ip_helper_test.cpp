// The system's adapter table and its buffer protocol.
#include "kv/platform/ip_helper.h"

#include <gtest/gtest.h>

#include "kv/platform/types.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim {
namespace {

using testing::MachineBuilder;

TEST(IpHelper, TheTableFitsInSixHundredFortyBytesPerEntry) {
    MachineBuilder m;
    m.addAdapter().set("ip.address", Json("192.168.1.20")).set("ip.dhcp", Json(true));
    m.addAdapter();
    m.addAdapter().set("present", Json(false));  // a disabled adapter has no entry
    m.install();
    auto& ip = platform::ipHelper();
    std::vector<platform::AdapterAddressInfo> table;
    uint32_t required = 0;
    EXPECT_EQ(ip.adaptersInfo(640, &required, &table), platform::err::kBufferOverflow);
    EXPECT_EQ(required, 1280u);
    EXPECT_TRUE(table.empty());
    ASSERT_EQ(ip.adaptersInfo(required, &required, &table), platform::err::kSuccess);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].adapterName, MachineBuilder::guidOf(0));
    EXPECT_EQ(table[0].hardwareAddress, (std::vector<uint8_t>{0x00, 0x1D, 0x7A, 0x00, 0x00, 0x01}));
    EXPECT_EQ(table[0].ipAddresses, std::vector<std::string>{"192.168.1.20"});
    EXPECT_TRUE(table[0].dhcpEnabled);
    EXPECT_EQ(table[1].ipAddresses, std::vector<std::string>{"0.0.0.0"});
}

TEST(IpHelper, AMachineWithoutAdaptersHasNoData) {
    MachineBuilder().install();
    uint32_t required = 0;
    std::vector<platform::AdapterAddressInfo> table;
    EXPECT_EQ(platform::ipHelper().adaptersInfo(640, &required, &table), 232u);  // ERROR_NO_DATA
}

}  // namespace
}  // namespace kv::sim
