#include "kv/jobs/hardware_dump.h"

#include "kelvalib.h"
#include "kv/eeprom_wire.h"
#include "kv/platform/system.h"

namespace kv::jobs {

namespace {

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

std::optional<RegisterWindow> readRegisterWindow() {
    RegisterWindow window{};
    if (GetMacReg(0, static_cast<uint16_t>(window.size()), window.data()) != 1) return std::nullopt;
    return window;
}

std::optional<uint8_t> readEepromConfig() {
    uint8_t config = 0;
    if (GetMacReg(eeprom::kConfigRegister, 1, &config) != 1) return std::nullopt;
    return config;
}

EepromRead readEepromWords(uint8_t config, const std::function<bool()>& stop) {
    EepromRead read;
    uint8_t pins = 0;
    if (GetMacReg(eeprom::kPortRegister, 1, &pins) != 1) return read;
    EepromPort port;
    eeprom::WordReader<EepromPort> reader(port, eeprom::addressBits(config));
    read.outcome = EepromRead::Outcome::Read;
    const unsigned count = eeprom::wordCount(config);
    for (unsigned address = 0; address < count && !reader.failed(); ++address) {
        if (stop && stop()) {
            read.outcome = EepromRead::Outcome::Stopped;
            break;
        }
        read.words.push_back(reader.readWord(static_cast<uint16_t>(address)));
    }
    if (reader.failed()) {
        read.outcome = EepromRead::Outcome::PinWriteRefused;
        return read;
    }
    read.pinsRestored = WriteMacReg(eeprom::kPortRegister, 1, &pins) == 1;
    return read;
}

}  // namespace kv::jobs
