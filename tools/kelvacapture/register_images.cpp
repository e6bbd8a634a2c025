// The register window, the PCI configuration space and the serial EEPROM, read through the
// register exports.
#include <vector>

#include "hardware_images.h"
#include "kelvalib.h"
#include "kv/jobs/hardware_dump.h"

namespace kv::capture {

namespace {

namespace p = protocol;

}  // namespace

std::optional<RegisterWindow> captureRegisterWindow(AdapterContext& a) {
    const std::optional<RegisterWindow> window = jobs::readRegisterWindow();
    if (!window) {
        a.failed("register window", p::OID_TVX_READ_MAC_REG);
        return std::nullopt;
    }
    a.json().member("images").set("registers", hexByteLines(*window));
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
    const jobs::EepromRead read = jobs::readEepromWords(configRegister);
    if (read.outcome == jobs::EepromRead::Outcome::PortUnreadable) {
        a.failed("EEPROM words", p::OID_TVX_READ_MAC_REG);
        return;
    }
    if (read.outcome == jobs::EepromRead::Outcome::PinWriteRefused) {
        a.failed("EEPROM words", p::OID_TVX_WRITE_MAC_REG);
        return;
    }
    if (!read.pinsRestored) a.skipped("EEPROM port", "its pins could not be put back");
    JsonValue list = JsonValue::array();
    for (uint16_t word : read.words) list.push(hexNumber(word, 4));
    a.json().member("eeprom").set("words", std::move(list));
}

}  // namespace kv::capture
