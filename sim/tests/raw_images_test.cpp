// Captured raw images of an adapter: they replace the modelled power-up contents, hand edits
// still win over them, and the PHY's state machines keep running over a captured page set.
#include "kv/sim/adapter/raw_images.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "adapter_command.h"
#include "kv/bytes.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/phy.h"
#include "kv/sim/host.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim {
namespace {

using testing::MachineBuilder;
namespace p = kv::protocol;

Json pages(std::vector<std::string> texts) {
    Json a = Json::array();
    for (auto& t : texts) a.push_back(Json(t));
    return a;
}

// A page image of 32 words, zero but for the registers given.
std::string page(std::initializer_list<std::pair<unsigned, uint16_t>> registers) {
    uint16_t words[32] = {};
    for (const auto& [reg, value] : registers) words[reg] = value;
    std::string text;
    for (uint16_t w : words) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04x ", w);
        text += hex;
    }
    return text;
}

class RawImages : public ::testing::Test {
protected:
    Adapter& adapter() { return *Host::get().machine().adapters.at(0); }

    std::vector<uint8_t> command(uint32_t oid, size_t dataBytes, uint16_t a = 0, uint16_t b = 0, uint16_t c = 0) {
        const auto result = sendCommand(adapter(), oid, dataBytes, a, b, c);
        EXPECT_EQ(result.error, 0u) << std::hex << oid;
        return result.data;
    }
    uint16_t readPhy(uint16_t page, uint16_t reg) { return readU16(command(p::OID_TVX_READ_PHY, 10, page, reg), 4); }
    void writePhy(uint16_t page, uint16_t reg, uint16_t value) { command(p::OID_TVX_WRITE_PHY, 10, page, reg, value); }

    MachineBuilder machine;
};

TEST_F(RawImages, TheRegisterAndConfigurationImagesReplaceTheModelAndHandEditsWinOverThem) {
    Json config = Json::object();
    config.set("0x01", "0x77");
    machine.addAdapter()
        .set("images.registers", pages({"de ad be ef 00 01", "0203"}))
        .set("registers.0x01", "0x55")
        .set("images.pciConfig", "86 80")
        .set("pci.config", config);
    machine.install();

    const auto window = command(p::OID_TVX_READ_MAC_REG, 1028, 0, 8);
    EXPECT_EQ(std::vector<uint8_t>(window.begin() + 4, window.begin() + 12),
              (std::vector<uint8_t>{0xDE, 0x55, 0xBE, 0xEF, 0x00, 0x01, 0x02, 0x03}))
        << "the image from offset 0, then the hand-written byte";
    const auto space = command(p::OID_TVX_PCI_CONFIG, 1024);
    EXPECT_EQ(readU16(space, 0), 0x7786) << "image bytes, then pci.config";
    EXPECT_EQ(readU16(space, 2), 0x4450) << "beyond the image the generated space stays";
}

TEST_F(RawImages, MalformedImagesAreRefusedNamingTheField) {
    struct Case {
        const char* field;
        Json value;
        const char* named;
    };
    const Case cases[] = {
        {"images.registers", Json("00 zz"), "images.registers"},
        {"images.registers", Json(std::string(1025 * 3, '0')), "images.registers"},
        {"images.pciConfig", Json(5), "images.pciConfig"},
        {"images.phy", pages({"", "", "", "", ""}), "images.phy"},
        {"images.phy", pages({std::string(33 * 5, '1')}), "images.phy[0]"},
    };
    for (const auto& c : cases) {
        MachineBuilder m;
        m.addAdapter().set(c.field, c.value);
        try {
            m.install();
            ADD_FAILURE() << c.field << " accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
        }
    }
}

TEST_F(RawImages, ACapturedPhyStillNegotiatesMeasuresAndRunsThePairTest) {
    // Page 0: control, status with other abilities, identifiers of another PHY, loopback on, page
    // 2 selected; page 1: a latched length of 42 m; page 3: green feature on, a last pair result.
    const std::string page0 = page({{0, 0x1140}, {1, 0x7969}, {2, 0x0141}, {3, 0x0CC2}, {0x0B, 0x0002}, {0x1F, 2}});
    const std::string page1 = page({{0x1E, 0x002A}});
    const std::string page3 = page({{0x19, 0x3955}, {0x1C, 0x4005}});
    machine.addAdapter(0x4450).set("images.phy", pages({page0, page1, "", page3})).set("cable.length", 17);
    machine.install();
    auto& phy = *adapter().component<PhyModel>();

    EXPECT_EQ(readPhy(0, 1), 0x796Du) << "the image's abilities with the link the model reports";
    EXPECT_EQ(readPhy(0, 3), 0x0CC2u);
    EXPECT_TRUE(phy.inLoopback());
    EXPECT_TRUE(phy.greenFeatureOn());
    EXPECT_EQ(readPhy(1, 0x1E), 0x002Au) << "the latched length until the next measurement";
    EXPECT_EQ(readPhy(3, 0x1C), 0x4005u) << "the last pair result until a test runs";
    EXPECT_EQ(readU16(command(p::OID_TVX_READ_PHY_WORD, 10, 0, 0x1F), 4), 2u) << "the captured page selection";

    writePhy(1, 4, 1);
    EXPECT_EQ(readPhy(1, 0x1E), (17u + 14) / 2) << "a measurement of the cable, in gigabit steps";
    command(p::OID_TVX_PHY_DIAG_START, 10);
    writePhy(3, 0, 0x8000);
    EXPECT_EQ(readPhy(3, 0x1C), 0u) << "the test runs";
    Host::get().sleep(500);
    EXPECT_NE(readPhy(3, 0x1C), 0x4005u);
    EXPECT_NE(readPhy(3, 0x1C), 0u);
    command(p::OID_TVX_PHY_DIAG_END, 10);

    writePhy(0, 0, 0x8000);
    EXPECT_FALSE(phy.inLoopback()) << "a reset ends the loopback";
    EXPECT_FALSE(phy.greenFeatureOn());
    EXPECT_EQ(readPhy(0, 3), 0x0CC2u) << "and returns to the captured identifiers";
    EXPECT_EQ(readPhy(3, 0x19), 0x3954u);
}

}  // namespace
}  // namespace kv::sim
