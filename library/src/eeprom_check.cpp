// Whether the controller's serial EEPROM holds an Ethernet address: words 7-9 read bit by bit
// through controller register 0x50 (three-wire 93C46/93C56 protocol, 1 ms per clock edge).
#include <array>

#include "kelvalib.h"
#include "kv/platform/system.h"

using namespace kv;

namespace {

constexpr uint16_t kConfigRegister = 0x44;
constexpr uint8_t kWideAddress = 0x40;  // 8 address bits instead of 6
constexpr uint16_t kEepromRegister = 0x50;

constexpr uint8_t kKeepBits = 0x30;
constexpr uint8_t kProgramMode = 0x80;
constexpr uint8_t kChipSelect = 0x08;
constexpr uint8_t kClock = 0x04;
constexpr uint8_t kDataIn = 0x02;
constexpr uint8_t kDataOut = 0x01;
constexpr uint8_t kEndMask = 0xF5;  // clears chip select and data in

constexpr uint32_t kEdgeMs = 1;
constexpr std::array<uint16_t, 3> kAddressWords = {7, 8, 9};

class EepromPins {
public:
    explicit EepromPins(unsigned addressBits) : addressBits_(addressBits) {}

    uint16_t readWord(uint16_t address) {
        uint8_t current = 0;
        GetMacReg(kEepromRegister, 1, &current);
        value_ = static_cast<uint8_t>((current & kKeepBits) | kProgramMode | kChipSelect);
        put();
        // Start bit and the read command (1 1 0), then the address, most significant bit first.
        shiftOut(1);
        shiftOut(1);
        shiftOut(0);
        for (unsigned bit = addressBits_; bit-- > 0;) shiftOut((address >> bit) & 1);
        value_ &= static_cast<uint8_t>(~kDataIn);
        put();
        uint16_t word = 0;
        for (int i = 0; i < 16; ++i) {
            value_ |= kClock;
            put();
            wait();
            uint8_t pins = 0;
            GetMacReg(kEepromRegister, 1, &pins);
            word = static_cast<uint16_t>((word << 1) | (pins & kDataOut));
            value_ &= static_cast<uint8_t>(~kClock);
            put();
            wait();
        }
        // Deselect, then one clock pulse; the access mode stays on program.
        value_ &= kEndMask;
        put();
        pulseClock();
        return word;
    }

private:
    void put() { WriteMacReg(kEepromRegister, 1, &value_); }
    static void wait() { platform::clock().sleep(kEdgeMs); }

    // Clock high, then low, each edge written and held for one wait.
    void pulseClock() {
        value_ |= kClock;
        put();
        wait();
        value_ &= static_cast<uint8_t>(~kClock);
        put();
        wait();
    }

    void shiftOut(unsigned bit) {
        value_ = bit ? static_cast<uint8_t>(value_ | kDataIn) : static_cast<uint8_t>(value_ & ~kDataIn);
        put();
        wait();
        pulseClock();
    }

    unsigned addressBits_;
    uint8_t value_ = 0;
};

}  // namespace

KV_API int API_ChkEEPROMExit(void) {
    uint8_t config = 0;
    GetMacReg(kConfigRegister, 1, &config);
    EepromPins pins((config & kWideAddress) ? 8 : 6);
    std::array<uint8_t, 6> address{};
    for (size_t i = 0; i < kAddressWords.size(); ++i) {
        const uint16_t word = pins.readWord(kAddressWords[i]);
        address[2 * i] = static_cast<uint8_t>(word & 0xFF);
        address[2 * i + 1] = static_cast<uint8_t>(word >> 8);
    }
    for (uint8_t b : address)
        if (b) return 1;
    return 0;
}
