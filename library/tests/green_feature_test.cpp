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
    void clearTrace() { sim::Host::get().trace().clear(); }
};

TEST_F(GreenFeatureTest, StageFollowsTheMeasuredLengthAtTheLinkSpeed) {
    struct Case {
        uint32_t mbps;
        int metres;
        int stage;
    } cases[] = {
        {1000, 22, 2}, {1000, 21, 1}, {1000, 41, 2}, {1000, 42, 3}, {1000, 56, 3}, {1000, 57, 4}, {1000, 0, 1},
        {100, 100, 4}, {100, 99, 3},  {100, 29, 1},  {100, 30, 2},  {100, 69, 2},  {100, 70, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mbps) + " Mbit/s, " + std::to_string(c.metres) + " m");
        startAt(c.mbps, c.metres);
        ASSERT_EQ(EnableGreenFeature(), 1);
        clearTrace();
        EXPECT_EQ(GetGFStatus(), c.stage);
        EXPECT_EQ(phyRequests(),
                  (std::vector<PhyRequest>{modeRequest(p::OID_TVX_PHY_DIAG_START), wordWrite(0x1F, 3), wordRead(0x19),
                                           wordWrite(0x1F, 1), wordWrite(4, 1), wordRead(0x1E), wordWrite(0x1F, 0),
                                           modeRequest(p::OID_TVX_PHY_DIAG_END)}));
    }
}

TEST_F(GreenFeatureTest, StatusOfAFeatureThatIsOff) {
    startAt(100);
    EXPECT_EQ(GetGFStatus(), 0);
    EXPECT_EQ(phyRequests(p::OID_TVX_WRITE_PHY_WORD),
              (std::vector<PhyRequest>{wordWrite(0x1F, 3), wordWrite(0, 0), wordWrite(0x1F, 0)}));
    // At 10 Mbit/s the marker is not compared: the PHY has no length estimate there.
    startAt(10);
    EXPECT_EQ(GetGFStatus(), 4);
    EXPECT_EQ(phyRequests(p::OID_TVX_WRITE_PHY_WORD),
              (std::vector<PhyRequest>{wordWrite(0x1F, 3), wordWrite(0x1F, 1), wordWrite(4, 1), wordWrite(0x1F, 0)}));
    startAt(1000, 30, false);
    EXPECT_EQ(GetGFStatus(), -1);
    EXPECT_TRUE(phyRequests().empty());
}

TEST_F(GreenFeatureTest, EnableAndDisableWriteInOrderWithTheMarkerLast) {
    struct Case {
        uint32_t mbps;
        std::vector<PhyRequest> enable;
        std::vector<PhyRequest> disable;
    } cases[] = {
        {1000,
         {wordWrite(0x1F, 1), wordWrite(0x14, 0xCAA3), wordWrite(0x1C, 0x000A), wordWrite(0x18, 0x65D0),
          wordWrite(0x1F, 3), wordWrite(0x17, 0xB580), wordWrite(0x18, 0xFF54), wordWrite(0x19, 0x3954),
          wordWrite(0x1F, 2), wordWrite(0x0D, 0x310C), wordWrite(0x0E, 0x310C), wordWrite(0x0F, 0x311C),
          wordWrite(0x06, 0x0761), wordWrite(0x1F, 3), wordWrite(0x18, 0xFF55), wordWrite(0x19, 0x3955),
          wordWrite(0x1F, 0)},
         {wordWrite(0x1F, 3), wordWrite(0x18, 0xFF54), wordWrite(0x19, 0x3954), wordWrite(0x1F, 0)}},
        {100,
         {wordWrite(0x1F, 1), wordWrite(0x14, 0xCAA3), wordWrite(0x1C, 0x000A), wordWrite(0x18, 0x65D0),
          wordWrite(0x1F, 3), wordWrite(0x17, 0xF000), wordWrite(0x18, 0x0000), wordWrite(0x19, 0x648C),
          wordWrite(0x1F, 2), wordWrite(0x0D, 0x3100), wordWrite(0x0E, 0x3104), wordWrite(0x0F, 0x3108),
          wordWrite(0x05, 0x261A), wordWrite(0x06, 0x0461), wordWrite(0x1F, 3), wordWrite(0x19, 0x648D),
          wordWrite(0x1F, 0)},
         {wordWrite(0x1F, 3), wordWrite(0x19, 0x648C), wordWrite(0x1F, 0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mbps);
        startAt(c.mbps, 80);
        EXPECT_EQ(EnableGreenFeature(), 1);
        EXPECT_EQ(phyRequests(p::OID_TVX_WRITE_PHY_WORD), c.enable);
        EXPECT_EQ(phyRequests().front(), modeRequest(p::OID_TVX_PHY_DIAG_START));
        EXPECT_EQ(phyRequests().back(), modeRequest(p::OID_TVX_PHY_DIAG_END));
        EXPECT_EQ(GetGFStatus(), c.mbps == 1000 ? 4 : 3);
        clearTrace();
        EXPECT_EQ(DisableGreenFeature(), 1);
        EXPECT_EQ(phyRequests(p::OID_TVX_WRITE_PHY_WORD), c.disable);
        EXPECT_EQ(GetGFStatus(), 0);
    }
    // At 10 Mbit/s there is nothing to switch off; the page is still selected.
    startAt(10);
    EXPECT_EQ(DisableGreenFeature(), 1);
    EXPECT_EQ(phyRequests(p::OID_TVX_WRITE_PHY_WORD),
              (std::vector<PhyRequest>{wordWrite(0x1F, 3), wordWrite(0x1F, 0)}));
}

TEST_F(GreenFeatureTest, EnableRefusesWithoutLinkAndAt10Megabit) {
    startAt(1000, 30, false);
    EXPECT_EQ(EnableGreenFeature(), 0);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"Please plug cable"});
    EXPECT_TRUE(phyRequests().empty());
    startAt(10);
    EXPECT_EQ(EnableGreenFeature(), 0);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"Green feature do not support 10M"});
    EXPECT_TRUE(phyRequests().empty());
}

TEST_F(GreenFeatureTest, FailedWritesShowTheirBoxes) {
    machine.addAdapter(0x4450).link(true, 100).fault("phyWriteError", Json(31));
    start();
    EXPECT_EQ(EnableGreenFeature(), 1);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>(17, "WFT Write PHY fail"));
}

}  // namespace
}  // namespace kv::test
