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
    EXPECT_EQ(sleeper.ip, (std::array<uint8_t, 4>{192, 168, 0, 20}));
}

TEST(WireTest, MalformedPeersAreNamed) {
    struct Case {
        const char* json;
        const char* message;
    } cases[] = {
        {R"({"wire": {"peers": [{"ip": "10.0.0.1"}]}})", "wire.peers[0]: mac is required"},
        {R"({"wire": {"peers": [{"mac": "00-11-22-33-44-55"}, {"mac": "00-11", "ip": "1.2.3.4"}]}})",
         "wire.peers[1]: malformed MAC address \"00-11\""},
        {R"({"wire": {"peers": [{"mac": "00-11-22-33-44-55", "ip": "10.0.0.256"}]}})",
         "wire.peers[0]: malformed IPv4 address \"10.0.0.256\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            buildMachine(parseJson(c.json));
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace kv::sim
