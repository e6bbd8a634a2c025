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
    struct Case {
        std::function<int()> call;
        std::string line;
    } cases[] = {
        {[] { return API_WritePHY(1, 0x1F, 1); }, "0012C804 18 18 ok 034044ff0000000001001f00010000000000"},
        {[] { return WritePhyUshort(0x19, 0x3955); }, "0012C804 18 18 ok 0d4044ff0000000000001900553900000000"},
        {[&] { return API_ReadPHY(0, 2, &value); }, "0012C804 18 18 ok 094044ff0000000000000200000000000000"},
        // The page the first write selected.
        {[] { return ReadPhyUshort(0x1F) == 1; }, "0012C804 18 18 ok 0e4044ff0000000000001f00000000000000"},
        {[] { return API_PHYDiagStart(); }, "0012C804 12 12 ok 0b4044ff0000000000000000"},
        {[] { return API_PHYDiagEnd(); }, "0012C804 12 12 ok 0c4044ff0000000000000000"},
        {[] { return API_NWAYReStart(); }, "0012C804 12 12 ok 064044ff0000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        sim::Host::get().trace().clear();
        EXPECT_EQ(c.call(), 1);
        EXPECT_EQ(ioctls("0012C804"), std::vector<std::string>{c.line});
    }
    EXPECT_EQ(value, 0x1D7A);
}

TEST_F(PhyAccessTest, FailuresReturnTheirValuesAndShowTheirBoxes) {
    struct Case {
        const char* name;
        uint32_t failingOid;
        std::function<int()> call;
        int result;
        std::vector<std::string> boxes;
    };
    uint16_t value = 0xBEEF;
    const Case cases[] = {
        {"read", p::OID_TVX_READ_PHY, [&] { return API_ReadPHY(0, 2, &value); }, 0, {}},
        {"write", p::OID_TVX_WRITE_PHY, [] { return API_WritePHY(0, 0, 0x8000); }, 0, {"Write PHY fail"}},
        {"word read", p::OID_TVX_READ_PHY_WORD, [] { return ReadPhyUshort(2); }, 0xFFFF, {"WFT read PHY fail"}},
        {"word write", p::OID_TVX_WRITE_PHY_WORD, [] { return WritePhyUshort(0x1F, 1); }, 0, {"WFT Write PHY fail"}},
        {"diag start", p::OID_TVX_PHY_DIAG_START, [] { return API_PHYDiagStart(); }, 0, {}},
        {"diag end", p::OID_TVX_PHY_DIAG_END, [] { return API_PHYDiagEnd(); }, 0, {}},
        {"nway", p::OID_TVX_NWAY_RESTART, [] { return API_NWAYReStart(); }, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
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
