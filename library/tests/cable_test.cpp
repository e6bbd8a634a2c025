// The cable analysis: the length estimate with link, the pair tests without, every wait.
#include <array>
#include <filesystem>

#include "phy_requests.h"

namespace kv::test {
namespace {

namespace p = kv::protocol;
using Result = std::array<int32_t, 8>;
constexpr int32_t U = -7;  // an entry the analysis left as it was
constexpr Result kFresh = {U, U, U, U, U, U, U, U};

Json pairs(std::initializer_list<std::pair<const char*, double>> list) {
    Json out = Json::array();
    for (const auto& [state, distance] : list) {
        Json pair = Json::object();
        pair.set("state", Json(state));
        pair.set("distance", Json(distance));
        out.push_back(pair);
    }
    return out;
}

class CableTest : public LibraryTest {
protected:
    Result analyse(int expected = 1) {
        Result result = kFresh;
        EXPECT_EQ(API_GetCableStatus(result.data()), expected);
        return result;
    }
};

TEST_F(CableTest, WithLinkEveryPairIsNormalAtTheEstimatedLength) {
    const struct Case {
        int metres;
        uint32_t mbps;
        bool linkReturns;
        int32_t reported;
        uint64_t sleptAfterPresenceCheck;  // 1 s, then 100 ms polls until the link is back
    } cases[] = {{42, 100, true, 42, 1000 + 20 * 100},
                 {200, 100, true, 200, 1000 + 20 * 100},
                 {201, 100, true, 0, 1000 + 20 * 100},
                 {42, 100, false, 42, 1000 + 100 * 100},
                 // At 1000 Mbit/s the estimate as latched, in the gigabit estimator's steps.
                 {42, 1000, true, 28, 1000 + 20 * 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.metres) + " m at " + std::to_string(c.mbps) + " Mbit/s");
        machine = MachineBuilder();
        machine.addAdapter(0x4450)
            .link(true, c.mbps)
            .set("cable.length", Json(c.metres))
            .fault("linkNeverReturns", Json(!c.linkReturns));
        start();
        const int32_t r = c.reported;
        EXPECT_EQ(analyse(), (Result{0, 0, 0, 0, r, r, r, r}));
        EXPECT_EQ(phyRequests(), (std::vector<PhyRequest>{
                                     mode(p::OID_TVX_PHY_DIAG_START), pagedWrite(1, 0x1F, 1), pagedWrite(1, 4, 1),
                                     pagedRead(1, 30), mode(p::OID_TVX_PHY_DIAG_END), mode(p::OID_TVX_NWAY_RESTART)}));
        EXPECT_EQ(sleptMs(), 500 + c.sleptAfterPresenceCheck);
        EXPECT_EQ(adapter(0).link.up, c.linkReturns);
    }
}

TEST_F(CableTest, WithoutLinkEachPairIsTestedInTheChipsEncoding) {
    const struct Case {
        uint16_t device;
        int revision;
        Json pairs;
        Result expected;
        std::vector<PhyRequest> preparation;
    } cases[] = {
        {0x4440,
         2,
         pairs({{"short", 5}, {"open", 5}, {"normal", 30}, {"fault", 3}}),
         {1, 2, 0, 3, 5, 5, U, 3},
         {pagedWrite(3, 5, 0x00A0), pagedWrite(3, 6, 0x5258), pagedWrite(3, 0x0E, 0x0D00)}},
        {0x4450,
         1,
         pairs({{"short", 178}, {"short", 20}, {"open", 201}, {"normal", 40}}),
         {1, 1, 2, 0, 178, 20, 0, U},
         {pagedWrite(3, 0x0E, 0x0A00), pagedWrite(3, 6, 0x5352)}},
        {0x4440, 3, pairs({}), {0, 0, 0, 0, U, U, U, U}, {pagedWrite(3, 0x0E, 0x0800), pagedWrite(3, 6, 0x5352)}},
        {0x4420, 1, pairs({}), {0, 0, 0, 0, U, U, U, U}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        machine = MachineBuilder();
        machine.addAdapter(c.device).set("pci.revision", Json(c.revision)).link(false).set("cable.pairs", c.pairs);
        start();
        EXPECT_EQ(analyse(), c.expected);
        std::vector<PhyRequest> writes = c.preparation;
        for (uint16_t pairTest : {0x8300, 0x8311, 0x8322, 0x8333}) {
            writes.push_back(pagedWrite(3, 0, pairTest));
            writes.push_back(pagedWrite(3, 0, 0));
        }
        writes.push_back(pagedWrite(0, 0, 0));
        writes.push_back(pagedWrite(0, 0x0E, 0));
        EXPECT_EQ(phyRequests(p::OID_TVX_WRITE_PHY), writes);
        EXPECT_EQ(phyRequests().back(), mode(p::OID_TVX_NWAY_RESTART));
        // Each 500 ms test is seen done at the sixth poll; no wait for link at the end.
        EXPECT_EQ(sleptMs(), 500u + 4 * 6 * 100);
    }
}

TEST_F(CableTest, PairsThatNeverCompleteAreDecodedAfter200Polls) {
    Json all = Json::array();
    for (int i = 0; i < 4; ++i) all.push_back(Json(i));
    machine.addAdapter(0x4450).link(false).fault("pairTestNeverCompletes", all);
    start();
    EXPECT_EQ(analyse(), (Result{0, 0, 0, 0, U, U, U, U}));
    EXPECT_EQ(sleptMs(), 500u + 4 * 200 * 100);
    EXPECT_EQ(phyRequests(p::OID_TVX_READ_PHY).size(), 4u * 201);
}

TEST_F(CableTest, AbsentAdapterIsLeftAlone) {
    machine.addAdapter(0x4450);
    start();
    adapter(0).present = false;
    EXPECT_EQ(analyse(0), kFresh);
    EXPECT_TRUE(phyRequests().empty());
    EXPECT_EQ(traced("msgbox").back(), "Card has beeen disable");
    EXPECT_EQ(API_GetCableStatus(nullptr), 0);
}

TEST_F(CableTest, TheDefaultMachineHasAGoodCableAndACutOne) {
    ScratchDirectory scratch;
    const auto dir = std::filesystem::current_path() / "machine";
    sim::writeDefaultMachine(dir);
    sim::Host::get().install(sim::loadMachineDirectory(dir), sim::SimClock::Mode::Virtual);
    API_Open();
    API_GetAdapterList_A(&list);
    // The 4450's 42 m cable at 1000 Mbit/s: the estimate in the gigabit estimator's steps.
    EXPECT_EQ(analyse(), (Result{0, 0, 0, 0, 28, 28, 28, 28})) << "the 4450";
    ASSERT_EQ(API_SetCurrAdaptIdx(2), 1);
    EXPECT_EQ(analyse(), (Result{0, 2, 0, 0, U, 12, U, U})) << "the 4440";
}

}  // namespace
}  // namespace kv::test
