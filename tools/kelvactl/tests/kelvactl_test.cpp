// kelvactl as a process on built machines: what a script sees of each command, its exit status and
// its one-line errors, and what it leaves on the simulated machine.
#include <gtest/gtest.h>

#include <algorithm>

#include "kv/bytes.h"
#include "kv/sim/json.h"
#include "kv/sim/testing/machine_directory.h"
#include "machine.h"

namespace kv::kelvactl {
namespace {

using sim::parseJson;
using sim::testing::MachineBuilder;
using sim::testing::MachineDirectory;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Kelvactl, ListNamesEveryAdapterInJsonWhateverItsDescriptionHolds) {
    // Descriptions are 8-bit text from the driver: quotes, backslashes and accents must survive.
    MachineBuilder m;
    m.addAdapter(0x4450, "Tavrick \"Quad\" Port\\1 Ethernet \xC3\xA9t\xC3\xA9");
    m.addAdapter(0x4420);
    m.addForeignAdapter();
    const auto run = MachineDirectory(m).run(KV_KELVACTL, {"list", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto adapters = parseJson(run.output)["adapters"];
    ASSERT_EQ(adapters.size(), 3u);
    const std::string names[] = {"Tavrick \"Quad\" Port\\1 Ethernet \xC3\xA9t\xC3\xA9",
                                 "Tavrick PCI-E Ethernet Controller 4420", "Orrin Networks 10/100 PCI Adapter"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(adapters[i]["index"].asInt(), static_cast<int64_t>(i));
        EXPECT_EQ(adapters[i]["description"].asString(), names[i]);
    }
    EXPECT_EQ(adapters[0]["chip"].asString(), "4450");
    EXPECT_TRUE(adapters[2]["chip"].isNull());
}

TEST(Kelvactl, SelfTestsPassOnAHealthyAdapterAndNameTheFailedTestOnAFaultyOne) {
    const struct {
        const char* fault;  // machine.json's fault of the adapter; empty for none
        std::vector<std::string> arguments;
        int exitCode;
        const char* failed;  // the failed test, in the document and in the log
        const char* log;
    } cases[] = {
        {"", {"test", "0"}, 0, "", "No hardware errors occur."},
        {"macRegisterTestAnswer", {"test", "0"}, 1, "register", "Fail to access registers."},
        {"eepromTestAnswer",
         {"test", "0", "--tests", "eeprom,fifo", "--repeat", "2"},
         1,
         "eeprom",
         "Fail to read or write on the EEPROM."},
    };
    for (const auto& c : cases) {
        MachineBuilder m;
        auto& adapter = m.addAdapter(0x4450);
        if (*c.fault) adapter.fault(c.fault, 2);
        const MachineDirectory machine(m);
        auto arguments = c.arguments;
        arguments.push_back("--json");
        const auto run = machine.run(KV_KELVACTL, arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.fault << run.errors;
        const auto document = parseJson(run.output);
        const std::string failed = document["failed_tests"].size() == 1 ? document["failed_tests"][0].asString() : "";
        EXPECT_EQ(failed, c.failed) << c.fault;
        EXPECT_EQ(document["log"][0].asString(), c.log) << c.fault;
        // The run ends with the driver reloaded, whatever happened.
        EXPECT_FALSE(run.traced("propchange").empty()) << c.fault;
    }
}

TEST(Kelvactl, CableReportsAShortAndAnOpenPairWithTheirDistancesAndExits1) {
    MachineBuilder m;
    m.addAdapter(0x4450).link(false).set(
        "cable.pairs", parseJson(R"([{"state": "short", "distance": 7}, {"state": "open", "distance": 23}])"));
    const MachineDirectory machine(m);
    const auto json = machine.run(KV_KELVACTL, {"--json", "cable", "0"});
    EXPECT_EQ(json.exitCode, 1) << json.errors;
    const auto pairs = parseJson(json.output)["pairs"];
    EXPECT_EQ(pairs[0]["status"].asString(), "short");
    EXPECT_EQ(pairs[0]["length_m"].asInt(), 7);
    EXPECT_EQ(pairs[1]["status"].asString(), "open");
    EXPECT_EQ(pairs[1]["length_m"].asInt(), 23);
    EXPECT_EQ(pairs[2]["status"].asString(), "normal");
    EXPECT_TRUE(pairs[2]["length_m"].isNull());

    const auto text = machine.run(KV_KELVACTL, {"cable", "0"});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_TRUE(contains(text.output, "1-2   7          Short\n3-6   23         Open\n")) << text.output;
}

using Bytes = std::vector<uint8_t>;

// The frames of a pcap capture file: a 24-byte file header, then each frame after a 16-byte
// record header whose third word is the frame's length.
std::vector<Bytes> capturedFrames(const std::string& file) {
    const std::string text = sim::testing::readFile(file);
    const Bytes bytes(text.begin(), text.end());
    std::vector<Bytes> frames;
    for (size_t at = 24; at + 16 <= bytes.size();) {
        const uint32_t length = readU32(bytes, at + 8);
        at += 16;
        if (at + length > bytes.size()) break;
        frames.emplace_back(bytes.begin() + static_cast<ptrdiff_t>(at),
                            bytes.begin() + static_cast<ptrdiff_t>(at + length));
        at += length;
    }
    return frames;
}

TEST(Kelvactl, WolPutsAMagicPacketForTheAddressOnTheWire) {
    const MachineDirectory machine{kelvactlMachine()};
    const std::string pcap = (machine.workingDirectory() / "wire.pcap").string();
    const auto run = machine.run(KV_KELVACTL, {"wol", "00:e0:aa:bb:cc:dd", "--adapter", "1", "--ip", "192.168.1.20"},
                                 {{"KELVA_PCAP", pcap}});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto frames = capturedFrames(pcap);
    const auto magic = std::find_if(frames.begin(), frames.end(), [](const Bytes& f) {
        return f.size() == 116 && std::all_of(f.begin() + 14, f.begin() + 20, [](uint8_t b) { return b == 0xFF; });
    });
    ASSERT_NE(magic, frames.end());
    const Bytes target = {0x00, 0xE0, 0xAA, 0xBB, 0xCC, 0xDD};
    for (size_t copy = 0; copy < 16; ++copy)
        EXPECT_TRUE(std::equal(target.begin(), target.end(), magic->begin() + 20 + static_cast<ptrdiff_t>(6 * copy)));
    // Sent through adapter 1, and the page's ping started hidden for the IP address.
    EXPECT_EQ(Bytes(magic->begin() + 6, magic->begin() + 12), (Bytes{0x00, 0x1D, 0x7A, 0x44, 0x20, 0x02}));
    EXPECT_EQ(run.traced("start"), std::vector<std::string>{"ping -n 1 192.168.1.20"});
}

TEST(Kelvactl, ExitStatusAndErrorLineForEachWayAnArgumentFails) {
    const MachineDirectory machine{kelvactlMachine()};
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* error;  // in the line on standard error; empty for none
        const char* output;
    } cases[] = {
        {{"info", "1"}, 0, "", "Adapter 1: Tavrick PCI Fast Ethernet Adapter 4420"},
        {{"info", "00-1D-7A-44-20-02"}, 0, "", "Adapter 1:"},
        {{"info", "00:1d:7a:44:20:02"}, 0, "", "Adapter 1:"},
        {{"info", "001D7A442002"}, 0, "", "Adapter 1:"},
        {{"info", "00-1d-7a-44-50-01"}, 0, "", "Adapter 0:"},  // the 4450, not its VLANs
        {{"info", "LOCAL AREA CONNECTION 2"}, 0, "", "Adapter 1:"},
        {{"info", "9"}, 3, "kelvactl: there is no adapter 9: kelvactl list shows the adapters 0 to 5\n", ""},
        {{"info", "00-1D-7A-00-00-99"}, 3, "no adapter has the Ethernet address", ""},
        {{"info", "Nowhere"}, 3, "no adapter has the index, Ethernet address or connection name \"Nowhere\"", ""},
        {{"info"}, 2, "usage: kelvactl info ADAPTER", ""},
        {{"info", "0", "--count", "2"}, 2, "unknown option --count", ""},
        {{"stats", "0", "--count"}, 2, "the option --count needs a value", ""},
        {{"stats", "0", "--interval", "0"}, 2, "--interval takes seconds from 0.1 to 3600", ""},
        {{"green", "0", "maybe"}, 2, "green takes on or off", ""},
        {{"wol", "00-11-22"}, 2, "is no Ethernet address", ""},
        {{"wol", "001122334455", "--ip", "192.168.1"}, 2, "is no IPv4 address", ""},
        {{"frobnicate"}, 2, "there is no command \"frobnicate\"", ""},
        {{"cable", "1"}, 4, "has no cable analysis", ""},
        {{"regs", "3"}, 4, "has no register window", ""},
        {{"green", "2", "on"}, 1, "(the library says: \"Please plug cable\")", ""},
        {{"vlan", "0", "add", "10"}, 2, "has a VLAN 10 already", ""},
        {{"vlan", "0", "add", "4095"}, 2, "a VLAN ID is a number from 1 to 4094, not \"4095\"", ""},
        {{"vlan", "0", "delete", "99"}, 3, "has no VLAN 99: kelvactl vlan 0 lists them", ""},
        {{"vlan", "4"}, 2, "is a VLAN itself: name its adapter, 0", ""},
    };
    for (const auto& c : cases) {
        const auto run = machine.run(KV_KELVACTL, c.arguments);
        const std::string what = c.arguments[0] + " " + (c.arguments.size() > 1 ? c.arguments[1] : "");
        EXPECT_EQ(run.exitCode, c.exitCode) << what << ": " << run.errors;
        EXPECT_TRUE(contains(run.errors, c.error)) << what << ": " << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), *c.error ? 1 : 0) << what << run.errors;
        EXPECT_TRUE(contains(run.output, c.output)) << what << ": " << run.output;
    }
}

TEST(Kelvactl, WithoutTheProtocolDriverCommandsExit4AndTheReportStillDescribesTheComputer) {
    const MachineDirectory machine{kelvactlMachine().set("protocolDriver.installed", false)};
    const auto list = machine.run(KV_KELVACTL, {"list"});
    EXPECT_EQ(list.exitCode, 4);
    EXPECT_EQ(list.errors,
              "kelvactl: the protocol driver TvNdPt60 is not installed: install the suite's protocol driver and try "
              "again\n");
    const auto report = machine.run(KV_KELVACTL, {"report"});
    EXPECT_EQ(report.exitCode, 4);
    EXPECT_TRUE(contains(report.output, "Protocol driver  TvNdPt60: not installed\n")) << report.output;
}

TEST(Kelvactl, AdvancedWritesTheOneSettingIntoRegistryRegAndReloadsTheDriver) {
    const MachineDirectory machine{kelvactlMachine()};
    const auto registry = [&] { return sim::testing::readFile(machine.machine() / "registry.reg"); };
    const auto refused = machine.run(KV_KELVACTL, {"advanced", "0", "*ReceiveBuffers", "5000"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.errors, "kelvactl: \"Receive Buffers\" does not take \"5000\": it takes 64 to 512\n");
    EXPECT_TRUE(refused.traced("regwrite").empty());

    const auto run = machine.run(KV_KELVACTL, {"advanced", "0", "speed & duplex", "100 Mbps Full Duplex"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(contains(run.output, ": Auto Negotiation -> 100 Mbps Full Duplex; written, driver reloaded.\n"))
        << run.output;
    EXPECT_TRUE(contains(registry(), "\"*SpeedDuplex\"=\"4\"")) << registry();
    // Only the setting set is written; then the driver restarts (a property change), and the
    // page's wait for it.
    EXPECT_EQ(run.traced("regwrite").size(), 1u);
    EXPECT_FALSE(run.traced("propchange").empty());
    EXPECT_NE(std::find(run.trace.begin(), run.trace.end(), "sleep 3000"), run.trace.end());
}

TEST(Kelvactl, GreenSaysWhatItSwitched) {
    const auto run = MachineDirectory(kelvactlMachine()).run(KV_KELVACTL, {"green", "0", "on"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(contains(run.output, "Green feature switched on (before: Disable, Normal).\n")) << run.output;
    EXPECT_TRUE(contains(run.output, "Green Feature status  Enable\n")) << run.output;
}

}  // namespace
}  // namespace kv::kelvactl
