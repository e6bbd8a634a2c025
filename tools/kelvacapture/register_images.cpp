// The register window, the PCI configuration space and the serial EEPROM, read through the
// register exports.
#include <vector>

#include "hardware_images.h"
#include "kelvalib.h"
#include "kv/eeprom_wire.h"
#include "kv/platform/system.h"

namespace kv::capture {

namespace {

namespace p = protocol;

// The EEPROM port through the register exports; a failed pin write ends the read.
struct EepromPort {
    static uint8_t read() {
        uint8_t value = 0;
        GetMacReg(eeprom::kPortRegister, 1, &value);
        return value;
    }
    static bool write(uint8_t value) { return WriteMacReg(eeprom::kPortRegister, 1, &value) == 1; }
    static void wait() { platform::clock().sleep(eeprom::kEdgeMs); }
};

}  // namespace

std::optional<RegisterWindow> captureRegisterWindow(AdapterContext& a) {
    RegisterWindow window{};
    if (!GetMacReg(0, static_cast<uint16_t>(window.size()), window.data())) {
        a.failed("register window", p::OID_TVX_READ_MAC_REG);
        return std::nullopt;
    }
    a.json().member("images").set("registers", hexByteLines(window));
    return window;
}

void capturePciConfig(AdapterContext& a) {
    std::array<uint8_t, p::kPciConfigBytes> config{};
    if (!GetPciConfigSpace(config.data())) {
        a.failed("PCI configuration space", p::OID_TVX_PCI_CONFIG);
        return;
    }
    a.json().member("images").set("pciConfig", hexByteLines(config));
}

void captureEepromWords(AdapterContext& a, uint8_t configRegister) {
    uint8_t pins = 0;
    if (!GetMacReg(eeprom::kPortRegister, 1, &pins)) {
        a.failed("EEPROM words", p::OID_TVX_READ_MAC_REG);
        return;
    }
    EepromPort port;
    eeprom::WordReader<EepromPort> reader(port, eeprom::addressBits(configRegister));
    std::vector<uint16_t> words;
    const unsigned count = eeprom::wordCount(configRegister);
    for (unsigned address = 0; address < count && !reader.failed(); ++address)
        words.push_back(reader.readWord(static_cast<uint16_t>(address)));
    if (reader.failed()) {
        a.failed("EEPROM words", p::OID_TVX_WRITE_MAC_REG);
        return;
    }
    // The pins as they were before the first word.
    if (!WriteMacReg(eeprom::kPortRegister, 1, &pins)) a.skipped("EEPROM port", "its pins could not be put back");
    JsonValue list = JsonValue::array();
    for (uint16_t word : words) list.push(hexNumber(word, 4));
    a.json().member("eeprom").set("words", std::move(list));
}

}  // namespace kv::capture
