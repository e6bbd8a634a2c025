// PHY register access, the mode commands and the crossover state.
#include <functional>

#include "phy_requests.h"

namespace kv::test {
namespace {

namespace p = kv::protocol;
using PhyAccessTest = LibraryTest;

TEST_F(PhyAccessTest, RequestsCarryPageRegisterAndValueIn18Bytes) {
    machine.addAdapter(0x4450);
    start();
    uint16_t value = 0;
    const std::pair<std::function<int()>, std::string> cases[] = {
        {[] { return API_WritePHY(1, 0x1F, 1); }, "18 18 ok 034044ff0000000001001f00010000000000"},
        {[] { return WritePhyUshort(0x19, 0x3955); }, "18 18 ok 0d4044ff0000000000001900553900000000"},
        {[&] { return API_ReadPHY(0, 2, &value); }, "18 18 ok 094044ff0000000000000200000000000000"},
        // The page the first write selected.
        {[] { return ReadPhyUshort(0x1F) == 1; }, "18 18 ok 0e4044ff0000000000001f00000000000000"},
        {API_PHYDiagStart, "12 12 ok 0b4044ff0000000000000000"},
        {API_PHYDiagEnd, "12 12 ok 0c4044ff0000000000000000"},
        {API_NWAYReStart, "12 12 ok 064044ff0000000000000000"},
    };
    for (const auto& [call, line] : cases) {
        SCOPED_TRACE(line);
        sim::Host::get().trace().clear();
        EXPECT_EQ(call(), 1);
        EXPECT_EQ(ioctls("0012C804"), std::vector<std::string>{"0012C804 " + line});
    }
    EXPECT_EQ(value, 0x1D7A);
}

TEST_F(PhyAccessTest, FailuresReturnTheirValuesAndShowTheirBoxes) {
    uint16_t value = 0xBEEF;
    const struct Case {
        uint32_t failingOid;
        std::function<int()> call;
        int result;
        std::vector<std::string> boxes;
    } cases[] = {
        {p::OID_TVX_READ_PHY, [&] { return API_ReadPHY(0, 2, &value); }, 0, {}},
        {p::OID_TVX_WRITE_PHY, [] { return API_WritePHY(0, 0, 0x8000); }, 0, {"Write PHY fail"}},
        {p::OID_TVX_READ_PHY_WORD, [] { return ReadPhyUshort(2); }, 0xFFFF, {"WFT read PHY fail"}},
        {p::OID_TVX_WRITE_PHY_WORD, [] { return WritePhyUshort(0x1F, 1); }, 0, {"WFT Write PHY fail"}},
        {p::OID_TVX_NWAY_RESTART, API_NWAYReStart, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failingOid);
        machine = MachineBuilder();
        Json failing = Json::array();
        failing.push_back(Json(c.failingOid));
        machine.addAdapter(0x4450).fault("failingOids", failing);
        start();
        EXPECT_EQ(c.call(), c.result);
        EXPECT_EQ(traced("msgbox"), c.boxes);
    }
    EXPECT_EQ(value, 0xBEEF) << "a failed read leaves the output alone";
    EXPECT_EQ(API_ReadPHY(0, 2, nullptr), 0);
}

TEST_F(PhyAccessTest, MdixIsBit6OfPage0Register0x11) {
    for (bool mdix : {true, false}) {
        machine = MachineBuilder();
        machine.addAdapter(0x4450).set("phy.mdix", Json(mdix));
        start();
        EXPECT_EQ(API_IsMDIX(), mdix ? 1 : 0);
        EXPECT_EQ(phyRequests(), std::vector<PhyRequest>{pagedRead(0, 0x11)});
    }
}

}  // namespace
}  // namespace kv::test
