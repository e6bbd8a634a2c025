// Whether the controller's serial EEPROM holds an Ethernet address: words 7-9 read bit by bit
// through controller register 0x50 (three-wire 93C46/93C56 protocol, 1 ms per clock edge).
#include <array>

#include "kelvalib.h"
#include "kv/eeprom_wire.h"
#include "kv/platform/system.h"

using namespace kv;

namespace {

constexpr std::array<uint16_t, 3> kAddressWords = {7, 8, 9};

// The EEPROM port through the register exports. A failed write shows its message box and the
// read goes on regardless, as every pin write of the check does.
struct RegisterPort {
    static uint8_t read() {
        uint8_t value = 0;
        GetMacReg(eeprom::kPortRegister, 1, &value);
        return value;
    }
    static bool write(uint8_t value) {
        WriteMacReg(eeprom::kPortRegister, 1, &value);
        return true;
    }
    static void wait() { platform::clock().sleep(eeprom::kEdgeMs); }
};

}  // namespace

KV_API int API_ChkEEPROMExit(void) {
    uint8_t config = 0;
    GetMacReg(eeprom::kConfigRegister, 1, &config);
    RegisterPort port;
    eeprom::WordReader<RegisterPort> pins(port, eeprom::addressBits(config));
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
