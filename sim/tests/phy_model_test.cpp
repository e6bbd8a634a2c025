// The simulated PHY: pair tests on the cable, negotiation and link, loopback, pages, length
// estimate and faults, driven through the adapter's commands on the virtual timeline.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kv/bytes.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/phy.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim {
namespace {

using testing::MachineBuilder;
namespace p = kv::protocol;

Json pairsWith(size_t index, const std::string& state, double distance) {
    Json pairs = Json::array();
    for (size_t i = 0; i < 4; ++i) {
        Json pair = Json::object();
        if (i == index) {
            pair.set("state", Json(state));
            pair.set("distance", Json(distance));
        }
        pairs.push_back(pair);
    }
    return pairs;
}

class PhyModelTest : public ::testing::Test {
protected:
    Adapter& install() {
        machine.install();
        return *Host::get().machine().adapters.at(0);
    }
    PhyModel& phy() { return *Host::get().machine().adapters.at(0)->component<PhyModel>(); }
    Adapter& adapter() { return *Host::get().machine().adapters.at(0); }

    // One command with three u16 operands in a 10-byte data area; the value read lands in `read`.
    uint32_t command(uint32_t oid, uint16_t a = 0, uint16_t b = 0, uint16_t c = 0, size_t dataBytes = 10) {
        std::vector<uint8_t> data(dataBytes, 0);
        writeU16(data, 0, a);
        writeU16(data, 2, b);
        writeU16(data, 4, c);
        OidCall call;
        call.oid = oid;
        call.data = data;
        const uint32_t result = adapter().command(call);
        read = readU16(data, 4);
        return result;
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

TEST_F(PhyModelTest, PairTestReportsInTheChipsEncodingOnceTheTestDurationPassed) {
    struct Case {
        uint16_t device;
        int revision;
        unsigned pair;
        const char* state;
        double distance;
        uint16_t expected;
    } cases[] = {
        {0x4440, 2, 0, "short", 5, 0xA0C8},  // 200 steps of 2.5 cm
        {0x4440, 2, 1, "open", 5, 0xA0C8},   // the bits swap on pairs 1 and 3
        {0x4440, 2, 2, "open", 12, 0xC1E0},   {0x4440, 2, 3, "fault", 1, 0xE028},
        {0x4440, 2, 0, "open", 300, 0xDFFF},  // the distance field is full
        {0x4450, 1, 0, "short", 178, 0x9164}, {0x4450, 1, 1, "short", 10, 0xA014},
        {0x4440, 1, 3, "open", 7, 0x900E},    {0x4450, 1, 2, "normal", 42, 0x8054},
        {0x4410, 1, 3, "open", 300, 0x91FE},  // metres stop at 255
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.device) + " pair " + std::to_string(c.pair) + " " + c.state);
        machine = MachineBuilder();
        machine.addAdapter(c.device)
            .set("pci.revision", Json(c.revision))
            .link(false)
            .set("cable.pairs", pairsWith(c.pair, c.state, c.distance));
        install();
        command(p::OID_TVX_PHY_DIAG_START);
        writePhy(3, 0, static_cast<uint16_t>(0x8300 | c.pair * 0x11));
        EXPECT_EQ(readPhy(3, 28), 0u);
        sleep(499);
        EXPECT_EQ(readPhy(3, 28), 0u);
        sleep(1);
        EXPECT_EQ(readPhy(3, 28), c.expected);
        writePhy(3, 0, 0);
        EXPECT_EQ(readPhy(3, 28), 0u);
    }
}

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
    sleep(200);
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
        {"reset and restart", p::OID_TVX_WRITE_PHY, 0x9200},
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
            EXPECT_EQ(readPhy(0, 1) & 0x4, 0);
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

TEST_F(PhyModelTest, WordCommandsUseThePageRegister31Selects) {
    machine.addAdapter(0x4450);
    install();
    command(p::OID_TVX_WRITE_PHY_WORD, 0, 0x1F, 2);
    command(p::OID_TVX_WRITE_PHY_WORD, 0, 5, 0xAAAA);
    EXPECT_EQ(phy().readRegister(2, 5), 0xAAAAu);
    // A paged access leaves the selection alone ...
    writePhy(3, 5, 0xBBBB);
    command(p::OID_TVX_READ_PHY_WORD, 0, 5);
    EXPECT_EQ(read, 0xAAAAu);
    EXPECT_EQ(phy().readRegister(3, 5), 0xBBBBu);
    // ... unless it writes register 31 itself.
    writePhy(1, 0x1F, 3);
    command(p::OID_TVX_READ_PHY_WORD, 0, 5);
    EXPECT_EQ(read, 0xBBBBu);
    // Pages beyond 3 hold nothing.
    writePhy(7, 5, 0x1234);
    EXPECT_EQ(readPhy(7, 5), 0u);
}

TEST_F(PhyModelTest, CableLengthIsLatchedByWriting1ToPage1Register4) {
    struct Case {
        bool linkUp;
        uint32_t speed;
        double length;
        uint16_t expected;
    } cases[] = {
        {true, 1000, 42, 42}, {true, 100, 230, 230},  {true, 100, 300, 255},
        {true, 10, 42, 0xFF}, {false, 100, 42, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.speed) + " Mbit/s, " + std::to_string(c.length) + " m");
        machine = MachineBuilder();
        machine.addAdapter(0x4450).link(c.linkUp, c.speed).set("cable.length", Json(c.length));
        install();
        EXPECT_EQ(readPhy(1, 30), 0u);
        writePhy(1, 4, 1);
        EXPECT_EQ(readPhy(1, 30), c.expected);
    }
}

TEST_F(PhyModelTest, CrossoverAndGreenFeatureBits) {
    for (bool mdix : {false, true}) {
        machine = MachineBuilder();
        machine.addAdapter(0x4450).set("phy.mdix", Json(mdix));
        install();
        writePhy(0, 0x11, 0x0000);
        EXPECT_EQ(readPhy(0, 0x11) & 0x40, mdix ? 0x40 : 0) << "bit 6 only reports";
        writePhy(3, 0x19, 0x3955);
        EXPECT_TRUE(phy().greenFeatureOn());
        writePhy(3, 0x19, 0x3954);
        EXPECT_FALSE(phy().greenFeatureOn());
        writePhy(3, 0x19, 0x648D);
        writePhy(0, 0, 0x8000);
        EXPECT_FALSE(phy().greenFeatureOn()) << "a reset turns it off";
    }
}

TEST_F(PhyModelTest, FaultsAndMalformedRequests) {
    machine.addAdapter(0x4450).fault("phyWriteError", Json(31));
    install();
    EXPECT_EQ(writePhy(3, 0x19, 0x3955), 31u);
    EXPECT_EQ(command(p::OID_TVX_WRITE_PHY_WORD, 0, 0x1F, 3), 31u);
    EXPECT_EQ(phy().readRegister(3, 0x19), 0u);
    EXPECT_EQ(command(p::OID_TVX_READ_PHY, 0, 2), 0u);
    EXPECT_EQ(read, 0x1D7Au);
    EXPECT_EQ(command(p::OID_TVX_READ_PHY, 0, 32), 87u);
    EXPECT_EQ(command(p::OID_TVX_READ_PHY_WORD, 0, 2, 0, 4), 87u);
}

TEST_F(PhyModelTest, MachineJsonCableErrorsNameTheField) {
    machine.addAdapter(0x4450).set("cable.pairs", pairsWith(1, "broken", 3));
    try {
        machine.install();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cable.pairs[1].state"), std::string::npos) << e.what();
    }
    machine = MachineBuilder();
    machine.addAdapter(0x4450).set("cable.length", Json(-3));
    EXPECT_THROW(machine.install(), std::runtime_error);
}

}  // namespace
}  // namespace kv::sim
