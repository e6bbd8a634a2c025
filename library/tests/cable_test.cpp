// The cable analysis: the length estimate with link, the pair tests without, every wait.
#include <array>
#include <filesystem>

#include "phy_requests.h"

namespace kv::test {
namespace {

namespace p = kv::protocol;
using Result = std::array<int32_t, 8>;
constexpr int32_t kUntouched = -7;
constexpr Result kFresh = {kUntouched, kUntouched, kUntouched, kUntouched,
                           kUntouched, kUntouched, kUntouched, kUntouched};

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
    const std::pair<int, int32_t> cases[] = {{42, 42}, {200, 200}, {201, 0}, {255, 0}};
    for (const auto& [metres, reported] : cases) {
        SCOPED_TRACE(metres);
        machine = MachineBuilder();
        machine.addAdapter(0x4450).link(true, 100).set("cable.length", Json(metres));
        start();
        EXPECT_EQ(analyse(), (Result{0, 0, 0, 0, reported, reported, reported, reported}));
        EXPECT_EQ(phyRequests(),
                  (std::vector<PhyRequest>{modeRequest(p::OID_TVX_PHY_DIAG_START), pagedWrite(1, 0x1F, 1),
                                           pagedWrite(1, 4, 1), pagedRead(1, 30), modeRequest(p::OID_TVX_PHY_DIAG_END),
                                           modeRequest(p::OID_TVX_NWAY_RESTART)}));
        // The presence check, then 1 s and 100 ms polls until the link is back after 3 s.
        EXPECT_EQ(sleptMs(), 500u + 1000 + 20 * 100);
        EXPECT_TRUE(adapter(0).link.up);
    }
}

TEST_F(CableTest, WithLinkTheWaitForLinkGivesUpAfter100Polls) {
    machine.addAdapter(0x4450).fault("linkNeverReturns", Json(true));
    start();
    analyse();
    EXPECT_EQ(sleptMs(), 500u + 1000 + 100 * 100);
    // The analysis's own question and 101 during the wait.
    size_t linkQueries = 0;
    for (const auto& line : ioctls("0012C804"))
        if (line.find(" 14010100") != std::string::npos) ++linkQueries;
    EXPECT_EQ(linkQueries, 102u);
}

TEST_F(CableTest, PairTestsDecodeThe4440Revision2Encoding) {
    machine.addAdapter(0x4440)
        .set("pci.revision", Json(2))
        .link(false)
        .set("cable.pairs", pairs({{"short", 5}, {"open", 5}, {"normal", 30}, {"fault", 3}}));
    start();
    EXPECT_EQ(analyse(), (Result{1, 2, 0, 3, 5, 5, kUntouched, 3}));
    std::vector<PhyRequest> expected = {pagedWrite(3, 5, 0x00A0), pagedWrite(3, 6, 0x5258),
                                        pagedWrite(3, 0x0E, 0x0D00)};
    for (uint16_t start : {0x8300, 0x8311, 0x8322, 0x8333}) {
        expected.push_back(pagedWrite(3, 0, start));
        expected.push_back(pagedWrite(3, 0, 0));
    }
    expected.push_back(pagedWrite(0, 0, 0));
    expected.push_back(pagedWrite(0, 0x0E, 0));
    EXPECT_EQ(phyRequests(p::OID_TVX_WRITE_PHY), expected);
    // Each 500 ms test is seen done at the sixth poll; no wait for link at the end.
    EXPECT_EQ(sleptMs(), 500u + 4 * 6 * 100);
    const auto requests = phyRequests();
    EXPECT_EQ(requests.back(), modeRequest(p::OID_TVX_NWAY_RESTART));
    EXPECT_EQ(requests[requests.size() - 2], modeRequest(p::OID_TVX_PHY_DIAG_END));
}

TEST_F(CableTest, PairTestsDecodeTheEncodingOfEveryOtherChip) {
    machine.addAdapter(0x4450).link(false).set("cable.pairs",
                                               pairs({{"short", 178}, {"short", 20}, {"open", 201}, {"normal", 40}}));
    start();
    EXPECT_EQ(analyse(), (Result{1, 1, 2, 0, 178, 20, 0, kUntouched}));
}

TEST_F(CableTest, PreparationDependsOnTheChip) {
    struct Case {
        uint16_t device;
        int revision;
        std::vector<PhyRequest> preparation;
    } cases[] = {
        {0x4450, 1, {pagedWrite(3, 0x0E, 0x0A00), pagedWrite(3, 6, 0x5352)}},
        {0x4430, 1, {pagedWrite(3, 0x0E, 0x0800), pagedWrite(3, 6, 0x5352)}},
        {0x4440, 3, {pagedWrite(3, 0x0E, 0x0800), pagedWrite(3, 6, 0x5352)}},
        {0x4440, 2, {pagedWrite(3, 5, 0x00A0), pagedWrite(3, 6, 0x5258), pagedWrite(3, 0x0E, 0x0D00)}},
        {0x4420, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        machine = MachineBuilder();
        machine.addAdapter(c.device).set("pci.revision", Json(c.revision)).link(false);
        start();
        analyse();
        auto writes = phyRequests(p::OID_TVX_WRITE_PHY);
        writes.resize(c.preparation.size() + 1);
        auto expected = c.preparation;
        expected.push_back(pagedWrite(3, 0, 0x8300));
        EXPECT_EQ(writes, expected);
    }
}

TEST_F(CableTest, PairsThatNeverCompleteAreDecodedAfter200Polls) {
    Json all = Json::array();
    for (int i = 0; i < 4; ++i) all.push_back(Json(i));
    machine.addAdapter(0x4450).link(false).fault("pairTestNeverCompletes", all);
    start();
    EXPECT_EQ(analyse(), (Result{0, 0, 0, 0, kUntouched, kUntouched, kUntouched, kUntouched}))
        << "a test still running reports no fault";
    EXPECT_EQ(sleptMs(), 500u + 4 * 200 * 100);
    EXPECT_EQ(phyRequests(p::OID_TVX_READ_PHY).size(), 4u * 201);
}

TEST_F(CableTest, AbsentAdapterIsLeftAlone) {
    machine.addAdapter(0x4450);
    start();
    adapter(0).present = false;
    EXPECT_EQ(analyse(0), kFresh);
    EXPECT_TRUE(phyRequests().empty());
    const auto boxes = traced("msgbox");
    ASSERT_EQ(boxes.size(), 21u);
    EXPECT_EQ(boxes.front(), "Set Error code is 2");
    EXPECT_EQ(boxes.back(), "Card has beeen disable");
    EXPECT_EQ(sleptMs(), 20u * 500);
    EXPECT_EQ(API_GetCableStatus(nullptr), 0);
}

TEST_F(CableTest, FailedWritesShowTheirBoxesAndTheAnalysisGoesOn) {
    machine.addAdapter(0x4450).link(false).fault("phyWriteError", Json(31));
    start();
    EXPECT_EQ(analyse(), (Result{0, 0, 0, 0, kUntouched, kUntouched, kUntouched, kUntouched}));
    // Two preparation writes, a start and an end per pair, two restoring writes.
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>(12, "Write PHY fail"));
    EXPECT_EQ(phyRequests().back(), modeRequest(p::OID_TVX_NWAY_RESTART));
}

TEST_F(CableTest, TheDefaultMachineHasAGoodCableAndACutOne) {
    const auto dir = std::filesystem::path(::testing::TempDir()) / "kelva_default_machine";
    std::filesystem::remove_all(dir);
    sim::writeDefaultMachine(dir);
    sim::Host::get().install(sim::loadMachineDirectory(dir), sim::SimClock::Mode::Virtual);
    API_Open();
    API_GetAdapterList_A(&list);
    EXPECT_EQ(analyse(), (Result{0, 0, 0, 0, 42, 42, 42, 42})) << "the 4450";
    ASSERT_EQ(API_SetCurrAdaptIdx(2), 1);
    EXPECT_EQ(analyse(), (Result{0, 2, 0, 0, kUntouched, 12, kUntouched, kUntouched})) << "the 4440";
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kv::test
