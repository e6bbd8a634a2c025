// The EEPROM presence check: words 7-9 of the serial EEPROM read bit by bit through register
// 0x50, against the simulated 93C46/93C56.
#include "frame_fixture.h"

namespace kv::test {
namespace {

using EepromCheckTest = LibraryTest;

TEST_F(EepromCheckTest, PresentWhenAnyAddressByteIsSet) {
    struct Case {
        const char* name;
        const char* path;
        Json value;
        int result;
        std::vector<std::string> reads;
    } cases[] = {
        {"the adapter's address",
         "description",
         Json("Tavrick PCI-E Ethernet Controller 4450"),
         1,
         {"0 read 7 1d00", "0 read 8 007a", "0 read 9 0100"}},
        {"zero words",
         "eeprom.words",
         jsonArray({0xFFFF, 1, 2, 3, 4, 5, 6, 0, 0, 0, 7}),
         0,
         {"0 read 7 0000", "0 read 8 0000", "0 read 9 0000"}},
        {"one high byte set",
         "eeprom.words",
         jsonArray({0, 0, 0, 0, 0, 0, 0, 0, 0x0100, 0}),
         1,
         {"0 read 7 0000", "0 read 8 0100", "0 read 9 0000"}},
        {"erased", "faults.eepromErased", Json(true), 0, {"0 read 7 0000", "0 read 8 0000", "0 read 9 0000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter().set(c.path, c.value);
        start();
        EXPECT_EQ(API_ChkEEPROMExit(), c.result);
        EXPECT_EQ(traced("eeprom"), c.reads);
    }
}

// The values written to register 0x50, in order, taken from the register-write requests.
std::vector<int> eepromPinWrites() {
    std::vector<int> out;
    for (const auto& line : ioctls("0012C804")) {
        const std::string bytes = line.substr(line.rfind(' ') + 1);
        if (bytes.substr(0, 8) == "054044ff" && bytes.substr(16, 8) == "50000100")
            out.push_back(std::stoi(bytes.substr(24, 2), nullptr, 16));
    }
    return out;
}

// The pin sequence of one word read: select, start bit and read command, address, 16 clocks in,
// deselect and one more clock.
std::vector<int> expectedWordRead(unsigned address, unsigned addressBits) {
    std::vector<int> seq;
    int v = 0x88;
    seq.push_back(v);
    std::vector<unsigned> bits = {1, 1, 0};
    for (unsigned b = addressBits; b-- > 0;) bits.push_back((address >> b) & 1);
    for (unsigned bit : bits) {
        v = bit ? (v | 0x02) : (v & ~0x02);
        seq.insert(seq.end(), {v, v | 0x04, v});
    }
    v &= ~0x02;
    seq.push_back(v);
    for (int i = 0; i < 16; ++i) seq.insert(seq.end(), {v | 0x04, v});
    v &= 0xF5;
    seq.insert(seq.end(), {v, v | 0x04, v});
    return seq;
}

TEST_F(EepromCheckTest, PinSequenceFollowsTheThreeWireProtocol) {
    for (const unsigned addressBits : {6u, 8u}) {
        SCOPED_TRACE(addressBits);
        machine = MachineBuilder();
        auto& a = machine.addAdapter();
        if (addressBits == 8) a.set("registers.0x44", Json("0x40"));  // the 93C56 strap
        start();
        EXPECT_EQ(API_ChkEEPROMExit(), 1);
        std::vector<int> expected;
        for (unsigned address : {7u, 8u, 9u}) {
            const auto word = expectedWordRead(address, addressBits);
            expected.insert(expected.end(), word.begin(), word.end());
        }
        EXPECT_EQ(eepromPinWrites(), expected);
        const size_t edgesPerWord = (3 + addressBits) * 3 + 16 * 2 + 2;
        EXPECT_EQ(traced("sleep"), std::vector<std::string>(3 * edgesPerWord, "1"));
        EXPECT_EQ(traced("eeprom"), (std::vector<std::string>{"0 read 7 1d00", "0 read 8 007a", "0 read 9 0100"}));
    }
}

}  // namespace
}  // namespace kv::test
