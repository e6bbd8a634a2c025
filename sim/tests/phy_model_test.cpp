// The simulated PHY's state machines, driven through the adapter's commands on the virtual
// timeline: pair tests, negotiation and link, loopback, page selection. The library's suites
// cover the rest through the protocol driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter_command.h"
#include "kv/bytes.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/phy.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim {
namespace {

using testing::MachineBuilder;
namespace p = kv::protocol;

class PhyModelTest : public ::testing::Test {
protected:
    void install() { machine.install(); }
    PhyModel& phy() { return *Host::get().machine().adapters.at(0)->component<PhyModel>(); }
    Adapter& adapter() { return *Host::get().machine().adapters.at(0); }

    // One command with three u16 operands in a 10-byte data area; the value read lands in `read`.
    uint32_t command(uint32_t oid, uint16_t a = 0, uint16_t b = 0, uint16_t c = 0, size_t dataBytes = 10) {
        const auto result = sendCommand(adapter(), oid, dataBytes, a, b, c);
        read = readU16(result.data, 4);
        return result.error;
    }
    uint32_t writePhy(uint16_t page, uint16_t reg, uint16_t value) {
        return command(p::OID_TVX_WRITE_PHY, page, reg, value);
    }
    uint16_t readPhy(uint16_t page, uint16_t reg) {
        command(p::OID_TVX_READ_PHY, page, reg);
        return read;
    }
    void sleep(uint32_t ms) { Host::get().sleep(ms); }

    MachineBuilder machine;
    uint16_t read = 0;
};

TEST_F(PhyModelTest, PairTestsRunOnlyInDiagnosticModeAndMayNeverComplete) {
    Json neverCompletes = Json::array();
    neverCompletes.push_back(Json(2));
    machine.addAdapter(0x4450)
        .link(false)
        .set("cable.testMs", Json(200))
        .fault("pairTestNeverCompletes", neverCompletes);
    install();
    writePhy(3, 0, 0x8300);
    sleep(1000);
    EXPECT_EQ(readPhy(3, 28), 0u) << "no test outside diagnostic mode";

    command(p::OID_TVX_PHY_DIAG_START);
    writePhy(3, 0, 0x8322);
    sleep(100000);
    EXPECT_EQ(readPhy(3, 28), 0u) << "pair 2 never completes";
    writePhy(3, 0, 0x8300);
    sleep(199);
    EXPECT_EQ(readPhy(3, 28), 0u) << "still running";
    sleep(1);
    // Nothing plugged: every pair open at 0 m.
    EXPECT_EQ(readPhy(3, 28), 0xA000u);

    writePhy(3, 0, 0x8311);
    command(p::OID_TVX_PHY_DIAG_END);
    sleep(1000);
    EXPECT_EQ(readPhy(3, 28), 0u) << "ending diagnostic mode ends the test";
}

TEST_F(PhyModelTest, NegotiationDropsTheLinkForTheSettleTimeAndFollowsTheCable) {
    struct Trigger {
        const char* name;
        uint32_t oid;
        uint16_t control;  // page 0 register 0 value, for the write triggers
    } triggers[] = {
        {"nway restart", p::OID_TVX_NWAY_RESTART, 0},
        {"reset", p::OID_TVX_WRITE_PHY, 0x8000},
        {"restart bit", p::OID_TVX_WRITE_PHY, 0x1200},
    };
    struct Cable {
        bool linkUp;
        bool neverReturns;
        bool upAfterSettle;
    } cables[] = {{true, false, true}, {true, true, false}, {false, false, false}};
    for (const Trigger& t : triggers) {
        for (const Cable& c : cables) {
            SCOPED_TRACE(std::string(t.name) + (c.linkUp ? " link" : " no link") + (c.neverReturns ? " never" : ""));
            machine = MachineBuilder();
            machine.addAdapter(0x4450)
                .link(c.linkUp)
                .set("link.settleMs", Json(2500))
                .fault("linkNeverReturns", Json(c.neverReturns));
            install();
            command(t.oid, 0, 0, t.control);
            EXPECT_FALSE(adapter().link.up);
            sleep(2499);
            EXPECT_FALSE(adapter().link.up);
            sleep(1);
            EXPECT_EQ(adapter().link.up, c.upAfterSettle);
            EXPECT_EQ((readPhy(0, 1) & 0x4) != 0, c.upAfterSettle);
        }
    }
}

TEST_F(PhyModelTest, LoopbackFollowsEachChipsSetUpAndRestore) {
    struct Write {
        uint16_t reg;
        uint16_t value;
    };
    struct Case {
        uint16_t device;
        std::vector<Write> setUp;
        std::vector<Write> restore;
    } cases[] = {
        {0x4410, {{0, 0x2100}, {0x11, 0x03C0}}, {{0, 0x8000}}},
        {0x4430, {{0x0B, 0x0002}}, {{0, 0x9200}}},
        {0x4450, {{0x0B, 0x0002}}, {{0, 0x9200}}},
        {0x4440, {{0x0B, 0x0002}}, {{0x0B, 0x0000}}},
    };
    for (const Case& c : cases) {
        for (bool linkUp : {true, false}) {
            SCOPED_TRACE(std::to_string(c.device) + (linkUp ? " link" : " no link"));
            machine = MachineBuilder();
            machine.addAdapter(c.device).link(linkUp);
            install();
            command(p::OID_TVX_PHY_DIAG_START);
            for (const Write& w : c.setUp) writePhy(0, w.reg, w.value);
            EXPECT_TRUE(phy().inLoopback());
            sleep(10000);
            EXPECT_EQ(adapter().link.up, linkUp) << "loopback neither makes nor breaks the link";
            for (const Write& w : c.restore) writePhy(0, w.reg, w.value);
            EXPECT_FALSE(phy().inLoopback());
        }
    }
}

TEST_F(PhyModelTest, PagedAccessLeavesTheWordCommandsPageAloneUnlessItWritesRegister31) {
    machine.addAdapter(0x4450);
    install();
    command(p::OID_TVX_WRITE_PHY_WORD, 0, 0x1F, 2);
    command(p::OID_TVX_WRITE_PHY_WORD, 0, 5, 0xAAAA);
    writePhy(3, 5, 0xBBBB);
    command(p::OID_TVX_READ_PHY_WORD, 0, 5);
    EXPECT_EQ(read, 0xAAAAu);
    writePhy(1, 0x1F, 3);
    command(p::OID_TVX_READ_PHY_WORD, 0, 5);
    EXPECT_EQ(read, 0xBBBBu);
    command(p::OID_TVX_READ_PHY, 2, 0x1F);
    command(p::OID_TVX_READ_PHY_WORD, 0, 5);
    EXPECT_EQ(read, 0xBBBBu) << "a paged read of register 31 leaves the selection";
    // Malformed requests.
    EXPECT_EQ(command(p::OID_TVX_READ_PHY, 0, 32), 87u);
    EXPECT_EQ(command(p::OID_TVX_READ_PHY_WORD, 0, 2, 0, 4), 87u);
}

TEST_F(PhyModelTest, MachineJsonCableErrorsNameTheField) {
    Json pairs = Json::array();
    pairs.push_back(Json::object());
    pairs.push_back(Json::object());
    Json broken = Json::object();
    broken.set("state", Json("broken"));
    pairs.push_back(broken);
    machine.addAdapter(0x4450).set("cable.pairs", pairs);
    try {
        machine.install();
        ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cable.pairs[2].state"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace kv::sim
