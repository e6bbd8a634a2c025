// The machine's wire as machine.json declares it.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "kv/sim/host.h"
#include "kv/sim/machine.h"

namespace kv::sim {
namespace {

TEST(WireTest, TheDefaultMachineHasPeersOnTheWire) {
    const auto dir = std::filesystem::temp_directory_path() / ("kv_default_" + std::to_string(std::random_device{}()));
    writeDefaultMachine(dir);
    auto machine = loadMachineDirectory(dir);
    std::filesystem::remove_all(dir);
    ASSERT_EQ(machine->wire.peers().size(), 2u);
    const PeerStation& sleeper = machine->wire.peers()[0];
    EXPECT_TRUE(sleeper.asleep);
    EXPECT_EQ(sleeper.name, "WORKSHOP-PC");
    // On the 4450's subnet, so that a ping of its address reaches it.
    EXPECT_EQ(sleeper.ip, (std::array<uint8_t, 4>{192, 168, 1, 50}));
}

}  // namespace
}  // namespace kv::sim
