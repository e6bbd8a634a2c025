// The green feature: write orders, the enabled marker and the cable-length stages.
#include "phy_requests.h"

namespace kv::test {
namespace {

namespace p = kv::protocol;

class GreenFeatureTest : public LibraryTest {
protected:
    void startAt(uint32_t mbps, int cableMetres = 30, bool linkUp = true) {
        machine = MachineBuilder();
        machine.addAdapter(0x4450).link(linkUp, mbps).set("cable.length", Json(cableMetres));
        start();
    }
    std::vector<PhyRequest> wordWrites() { return phyRequests(p::OID_TVX_WRITE_PHY_WORD); }
};

// The green feature's stage follows the cable's length at every speed, on both sides of each stage
// boundary (30, 70 and 100 m), from the same estimate the cable analysis reports.
TEST_F(GreenFeatureTest, StageFollowsTheCableLengthAtEverySpeed) {
    const struct Case {
        int metres;
        int stage;
    } cases[] = {{0, 1}, {29, 1}, {30, 2}, {69, 2}, {70, 3}, {99, 3}, {100, 4}, {150, 4}};
    for (const uint32_t mbps : {10u, 100u, 1000u}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(mbps) + " Mbit/s, " + std::to_string(c.metres) + " m");
            startAt(mbps, c.metres);
            // At 10 Mbit/s the feature cannot be on, and the stage is told all the same.
            if (mbps != 10) {
                ASSERT_EQ(EnableGreenFeature(), 1);
            }
            EXPECT_EQ(GetGFStatus(), c.stage);
            int32_t cable[8] = {};
            ASSERT_EQ(API_GetCableStatus(cable), 1);
            // The cable analysis reports the estimate as latched: metres, or at 1000 Mbit/s the
            // gigabit estimator's steps, which the stage turns back into metres.
            EXPECT_EQ(cable[4], mbps == 1000 ? (c.metres + 14) / 2 : c.metres);
        }
    }
    // A status read: marker on page 3, then the length on page 1.
    startAt(1000, 42);
    ASSERT_EQ(EnableGreenFeature(), 1);
    sim::Host::get().trace().clear();
    EXPECT_EQ(GetGFStatus(), 2);
    EXPECT_EQ(phyRequests(),
              (std::vector<PhyRequest>{mode(p::OID_TVX_PHY_DIAG_START), wordWrite(0x1F, 3), wordRead(0x19),
                                       wordWrite(0x1F, 1), wordWrite(4, 1), wordRead(0x1E), wordWrite(0x1F, 0),
                                       mode(p::OID_TVX_PHY_DIAG_END)}));
}

TEST_F(GreenFeatureTest, StatusWithoutTheFeature) {
    const struct Case {
        uint32_t mbps;
        bool linkUp;
        int status;
        std::vector<PhyRequest> writes;
    } cases[] = {
        {100, true, 0, {wordWrite(0x1F, 3), wordWrite(0, 0), wordWrite(0x1F, 0)}},
        // At 10 Mbit/s the marker is not compared: the stage of the 30 m cable.
        {10, true, 2, {wordWrite(0x1F, 3), wordWrite(0x1F, 1), wordWrite(4, 1), wordWrite(0x1F, 0)}},
        {1000, false, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mbps);
        startAt(c.mbps, 30, c.linkUp);
        EXPECT_EQ(GetGFStatus(), c.status);
        EXPECT_EQ(wordWrites(), c.writes);
    }
}

TEST_F(GreenFeatureTest, EnableAndDisableWriteInOrderWithTheMarkerLast) {
    startAt(1000, 120);
    EXPECT_EQ(EnableGreenFeature(), 1);
    EXPECT_EQ(wordWrites(),
              (std::vector<PhyRequest>{wordWrite(0x1F, 1), wordWrite(0x14, 0xCAA3), wordWrite(0x1C, 0x000A),
                                       wordWrite(0x18, 0x65D0), wordWrite(0x1F, 3), wordWrite(0x17, 0xB580),
                                       wordWrite(0x18, 0xFF54), wordWrite(0x19, 0x3954), wordWrite(0x1F, 2),
                                       wordWrite(0x0D, 0x310C), wordWrite(0x0E, 0x310C), wordWrite(0x0F, 0x311C),
                                       wordWrite(0x06, 0x0761), wordWrite(0x1F, 3), wordWrite(0x18, 0xFF55),
                                       wordWrite(0x19, 0x3955), wordWrite(0x1F, 0)}));
    EXPECT_EQ(GetGFStatus(), 4);
    sim::Host::get().trace().clear();
    EXPECT_EQ(DisableGreenFeature(), 1);
    EXPECT_EQ(wordWrites(), (std::vector<PhyRequest>{wordWrite(0x1F, 3), wordWrite(0x18, 0xFF54),
                                                     wordWrite(0x19, 0x3954), wordWrite(0x1F, 0)}));
    EXPECT_EQ(GetGFStatus(), 0);

    startAt(100, 80);
    EXPECT_EQ(EnableGreenFeature(), 1);
    const auto writes = wordWrites();
    EXPECT_EQ(writes.size(), 17u);
    EXPECT_EQ(writes[writes.size() - 2], wordWrite(0x19, 0x648D));
    EXPECT_EQ(GetGFStatus(), 3);
    sim::Host::get().trace().clear();
    EXPECT_EQ(DisableGreenFeature(), 1);
    EXPECT_EQ(wordWrites(), (std::vector<PhyRequest>{wordWrite(0x1F, 3), wordWrite(0x19, 0x648C), wordWrite(0x1F, 0)}));
    EXPECT_EQ(GetGFStatus(), 0);
}

TEST_F(GreenFeatureTest, EnableRefusesWithoutLinkAndAt10Megabit) {
    const std::tuple<uint32_t, bool, const char*> cases[] = {{1000, false, "Please plug cable"},
                                                             {10, true, "Green feature do not support 10M"}};
    for (const auto& [mbps, linkUp, box] : cases) {
        startAt(mbps, 30, linkUp);
        EXPECT_EQ(EnableGreenFeature(), 0);
        EXPECT_EQ(traced("msgbox"), std::vector<std::string>{box});
        EXPECT_TRUE(phyRequests().empty());
    }
}

}  // namespace
}  // namespace kv::test
