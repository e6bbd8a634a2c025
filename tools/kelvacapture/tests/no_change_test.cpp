// The capture changes nothing on the machine it reads, as its trace shows; a read that fails is
// logged and left out; the program writes a directory the simulated host loads. A program run
// writes inside its working directory: on a Windows host the simulated machine takes every other
// drive path for one of its own.
#include <algorithm>
#include <array>
#include <vector>

#include "capture_fixture.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/phy.h"
#include "kv/sim/adapter/registers.h"

namespace kv::capture::test {
namespace {

namespace p = protocol;
using sim::Json;
using sim::testing::traced;

// The commands a capture may send: reads, the selection's diagnostic mode, and the EEPROM
// port's pins (a write to register 0x50 only).
const std::vector<uint32_t> kReadCommands = {
    p::OID_802_3_CURRENT_ADDRESS,
    p::OID_TVX_ADAPTER_INFO,
    p::OID_TVX_PCI_CONFIG,
    p::OID_TVX_READ_MAC_REG,
    p::OID_GEN_MEDIA_CONNECT_STATUS,
    p::OID_GEN_LINK_SPEED,
    p::OID_GEN_LINK_STATE,
    p::OID_GEN_HARDWARE_STATUS,
    p::OID_GEN_VENDOR_DESCRIPTION,
    p::OID_GEN_STATISTICS,
    p::OID_802_3_XMIT_ONE_COLLISION,
    p::OID_GEN_SUPPORTED_LIST,
    p::OID_TVX_WAKEUP_PATTERN_LEN,
    p::OID_TVX_READ_PHY,
    p::OID_TVX_READ_PHY_WORD,
    p::OID_TVX_ENABLE_DIAG,
    p::OID_GEN_VLAN_ID,
};

uint32_t hexU32At(const std::string& hex, size_t byteOffset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | std::stoul(hex.substr((byteOffset + i) * 2, 2), nullptr, 16);
    return value;
}

// "ioctl <code> <in> <out> <result> <request bytes>": the request lines that could change the
// machine.
std::vector<std::string> changingRequests() {
    std::vector<std::string> found;
    for (const auto& line : traced("ioctl")) {
        std::vector<std::string> f;
        for (size_t pos = 0; pos <= line.size();) {
            const size_t end = std::min(line.find(' ', pos), line.size());
            f.push_back(line.substr(pos, end - pos));
            pos = end + 1;
        }
        if (f[0] != "0012C804") {
            if (f[0] == "0012C814") found.push_back(line);  // a set request
            continue;
        }
        const uint32_t oid = hexU32At(f[4], 0);
        const bool pinWrite = oid == p::OID_TVX_WRITE_MAC_REG && (hexU32At(f[4], 8) & 0xFFFF) == 0x50;
        if (!pinWrite && std::find(kReadCommands.begin(), kReadCommands.end(), oid) == kReadCommands.end())
            found.push_back(line);
    }
    return found;
}

// What the capture could disturb of an adapter: its register window, PHY registers and link.
std::vector<uint32_t> hardwareState(sim::Adapter& adapter) {
    std::vector<uint32_t> state;
    auto* registers = adapter.component<sim::MacRegisters>();
    for (uint16_t offset = 0; offset < sim::MacRegisters::kWindowBytes; ++offset)
        state.push_back(registers->stored(offset));
    auto* phy = adapter.component<sim::PhyModel>();
    for (unsigned page = 0; page < sim::PhyModel::kPages; ++page)
        for (unsigned reg = 0; reg < sim::PhyModel::kRegisters; ++reg) state.push_back(phy->readRegister(page, reg));
    state.push_back(adapter.link.up);
    state.push_back(phy->inDiagMode());
    return state;
}

class NoChange : public CaptureTest {};

TEST_F(NoChange, TheTraceShowsNoSetRequestWriteReloadOrStartedProgram) {
    sim::writeDefaultMachine(folder("original"));
    sim::Host& host = installFrom(folder("original"));
    std::vector<std::vector<uint32_t>> before;
    for (auto& adapter : host.machine().adapters) before.push_back(hardwareState(*adapter));

    ASSERT_EQ(captureMachine(utf8ToUtf16(folder("captured").string())), 0);

    EXPECT_EQ(changingRequests(), std::vector<std::string>{});
    for (const char* kind : {"propchange", "start", "regwrite", "service", "tool", "frame", "loopback", "interrupt"})
        EXPECT_EQ(traced(kind), std::vector<std::string>{}) << kind;
    EXPECT_FALSE(traced("eeprom").empty()) << "the EEPROM words were read";
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(hardwareState(*host.machine().adapters[i]), before[i]) << "adapter " << i;
}

TEST_F(NoChange, AFailedPhyReadIsLoggedAndLeftOutWhileTheOtherReadsGoOn) {
    MachineBuilder machine;
    machine.addAdapter().fault("failingOids", [] {
        Json ids = Json::array();
        ids.push_back(Json("0xFF444009"));
        return ids;
    }());
    machine.writeDirectory(folder("original"));
    ASSERT_EQ(captureFreshly(folder("original"), folder("captured")), 0);

    const std::string log = fileText(folder("captured") / "capture.log");
    EXPECT_NE(log.find("adapter 0 PHY registers: not captured (command 0xFF444009 failed)"), std::string::npos) << log;
    const Json json = sim::parseJson(fileText(folder("captured") / "machine.json"));
    const Json& adapter = json["adapters"][0];
    EXPECT_FALSE(adapter["images"].contains("phy"));
    EXPECT_TRUE(adapter["images"].contains("registers"));
    EXPECT_EQ(adapter["eeprom"]["words"].size(), 64u);
    EXPECT_EQ(adapter["faults"]["failingOids"][0].asString(), "0xFF444009");
}

TEST_F(NoChange, TheProgramWritesADirectoryTheHostLoads) {
    MachineBuilder machine;
    machine.addAdapter();
    machine.addAdapter(0x4420).link(false);
    const sim::testing::MachineDirectory directory(machine);
    const auto target = directory.workingDirectory() / "missing-parent" / "captured";
    const auto run = directory.run(KV_KELVACAPTURE, {target.string()});

    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("2 adapter(s) captured; 0 read(s) left out"), std::string::npos) << run.output;
    EXPECT_EQ(fileText(target / "capture.log"), run.output);
    for (const char* kind : {"propchange", "start", "regwrite"})
        EXPECT_EQ(run.traced(kind), std::vector<std::string>{});
    const auto replay = sim::loadMachineDirectory(target);
    ASSERT_EQ(replay->adapters.size(), 2u);
    EXPECT_EQ(replay->adapters[1]->guid, utf8ToUtf16(MachineBuilder::guidOf(1)));
    EXPECT_FALSE(replay->adapters[1]->link.up);
}

TEST_F(NoChange, AComputerWithoutTheProtocolDriverGivesAMachineWithoutAdapters) {
    MachineBuilder machine;
    machine.addAdapter();
    machine.set("protocolDriver.installed", false);
    const sim::testing::MachineDirectory directory(machine);
    const auto target = directory.workingDirectory() / "captured";
    const auto run = directory.run(KV_KELVACAPTURE, {target.string()});

    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("protocol driver: not installed"), std::string::npos) << run.output;
    const auto replay = sim::loadMachineDirectory(target);
    EXPECT_TRUE(replay->adapters.empty());
    EXPECT_FALSE(replay->protocolDriver.installed);
    EXPECT_EQ(replay->devices.size(), 1u) << "the adapter's device is still listed";
}

TEST_F(NoChange, ABusyAdapterEndsTheProgramAndTheLogTellsWhere) {
    MachineBuilder machine;
    machine.addAdapter();
    machine.addAdapter().fault("busy", true);
    const sim::testing::MachineDirectory directory(machine);
    const auto target = directory.workingDirectory() / "captured";
    const auto run = directory.run(KV_KELVACAPTURE, {target.string()});

    EXPECT_TRUE(run.exitCode == 255 || run.exitCode == -1) << "the library ends the process with -1: " << run.exitCode;
    const std::string log = fileText(target / "capture.log");
    EXPECT_NE(log.find("adapter 0 {"), std::string::npos) << log;
    EXPECT_EQ(log.substr(log.rfind('\n', log.size() - 2) + 1), "adapter 1 selecting\n") << log;
}

TEST_F(NoChange, WithoutADirectoryTheProgramShowsItsUsage) {
    const sim::testing::MachineDirectory directory(MachineBuilder{});
    const auto run = directory.run(KV_KELVACAPTURE);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output, "usage: Kelvacapture <directory>\n");
}

}  // namespace
}  // namespace kv::capture::test
