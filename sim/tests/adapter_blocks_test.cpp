// The adapter's hardware blocks as the protocol driver reaches them: statistics growing with the
// clock, the register window and its hooks.
#include <gtest/gtest.h>

#include <vector>

#include "kv/bytes.h"
#include "kv/ndis.h"
#include "kv/platform/device_installer.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/registers.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim {
namespace {

using testing::MachineBuilder;

// One command to adapter 0 with a data area of `dataBytes`; the data area afterwards.
std::vector<uint8_t> command(uint32_t oid, size_t dataBytes, uint32_t* error = nullptr,
                             std::vector<uint8_t> operands = {}) {
    std::vector<uint8_t> data(dataBytes, 0);
    std::copy(operands.begin(), operands.end(), data.begin());
    OidCall call{oid, false, data};
    const uint32_t result = Host::get().machine().adapters.at(0)->command(call);
    if (error) *error = result;
    return data;
}

TEST(AdapterStatistics, CountersGrowWithTheClockWhileTheLinkIsUp) {
    MachineBuilder m;
    Json statistics = Json::object();
    statistics.set("rxBytesPerSecond", Json(1000000));
    statistics.set("txBytesPerSecond", Json(250));
    statistics.set("rxFramesPerSecond", Json(90));
    statistics.set("rxBroadcastFramesPerSecond", Json(10));
    statistics.set("start", [] {
        Json s = Json::object();
        s.set("rxBytes", Json(5000));
        return s;
    }());
    m.addAdapter().set("statistics", statistics);
    Host& host = m.install();
    namespace st = ndis::statistics;
    auto record = [] { return command(protocol::OID_GEN_STATISTICS, st::kBytes + 4); };

    EXPECT_EQ(readU64(record(), st::kInOctets), 5000u);
    host.clock().advance(1500);
    auto r = record();
    EXPECT_EQ(readU64(r, st::kInOctets), 5000u + 1500000u);
    EXPECT_EQ(readU64(r, st::kOutOctets), 375u);
    EXPECT_EQ(readU64(r, st::kInUcastPkts), 135u);
    EXPECT_EQ(readU64(r, st::kInBroadcastPkts), 15u);
    // The broadcast frames carried their share (a tenth) of the octets.
    EXPECT_EQ(readU64(r, st::kInBroadcastOctets), 150500u);
    EXPECT_EQ(readU64(r, st::kInUcastOctets), 1354500u);

    // No growth while the link is down; growth again after it came back.
    host.machine().adapters[0]->link.up = false;
    host.clock().advance(10000);
    EXPECT_EQ(readU64(record(), st::kOutOctets), 375u);
    host.machine().adapters[0]->link.up = true;
    host.clock().advance(2000);
    EXPECT_EQ(readU64(record(), st::kOutOctets), 875u);
    // The single counters follow the same clock.
    EXPECT_EQ(readU64(command(protocol::OID_GEN_RCV_OK, 8), 0), 350u);
}

TEST(AdapterStatistics, ARestartedMiniportCountsFromZero) {
    MachineBuilder m;
    m.addAdapter().set("statistics.txBytesPerSecond", Json(100)).set("statistics.start.txBytes", Json(5000));
    Host& host = m.install();
    auto sent = [] {
        return readU64(command(protocol::OID_GEN_STATISTICS, ndis::statistics::kBytes), ndis::statistics::kOutOctets);
    };
    EXPECT_EQ(sent(), 5000u);
    host.clock().advance(1000);
    EXPECT_EQ(sent(), 5100u);
    changeDeviceState(host.machine(), host.machine().devices.at(0), platform::setup::kDicsPropChange);
    host.clock().advance(2000);  // the device's restart time
    EXPECT_EQ(sent(), 0u);
    host.clock().advance(1000);
    EXPECT_EQ(sent(), 100u);
}

TEST(AdapterRegisters, HooksSeeReadsAndWrites) {
    MachineBuilder m;
    m.addAdapter();
    Host& host = m.install();
    auto* regs = host.machine().adapters[0]->component<MacRegisters>();
    ASSERT_NE(regs, nullptr);
    std::vector<uint8_t> written;
    regs->addHook(0x50, RegisterHook{[](uint8_t stored) { return uint8_t(stored | 0x01); },
                                     [&](uint8_t v) { written.push_back(v); }});
    uint32_t error = 1;
    command(protocol::OID_TVX_WRITE_MAC_REG, 10, &error, {0x50, 0x00, 0x01, 0x00, 0x88});
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(written, std::vector<uint8_t>{0x88});
    EXPECT_EQ(regs->stored(0x50), 0x88);
    const auto read = command(protocol::OID_TVX_READ_MAC_REG, 1028, &error, {0x4F, 0x00, 0x02, 0x00});
    EXPECT_EQ(read[4], 0x00);
    EXPECT_EQ(read[5], 0x89);  // through the hook

    // A count the request's data area cannot hold fails without touching anything.
    command(protocol::OID_TVX_WRITE_MAC_REG, 10, &error, {0x00, 0x01, 0x07, 0x00});
    EXPECT_EQ(error, platform::err::kInvalidParameter);
}

}  // namespace
}  // namespace kv::sim
