// The adapter's raw images as a support engineer reads them: the register window in one read, and
// every word of the serial EEPROM through the EEPROM port, whose pins are put back afterwards.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "kv/protocol.h"

namespace kv::jobs {

using RegisterWindow = std::array<uint8_t, protocol::kMacRegisterWindowBytes>;
// GetMacReg over the whole window; nothing when it fails.
std::optional<RegisterWindow> readRegisterWindow();

// The EEPROM configuration register (whose bit 0x40 gives the part's address width); nothing when
// it cannot be read.
std::optional<uint8_t> readEepromConfig();

struct EepromRead {
    enum class Outcome {
        Read,             // every word of the part
        Stopped,          // `stop` ended the read early: the words read until then
        PortUnreadable,   // the port's pins could not be read: nothing was driven
        PinWriteRefused,  // a pin write was refused in the middle of a word
    };
    Outcome outcome = Outcome::PortUnreadable;
    std::vector<uint16_t> words;
    bool pinsRestored = false;  // after a read or a stop: the pins are as they were before
};
// Every word of the part `config` names (64 or 128), read one by one; `stop`, when given, is asked
// before each word.
EepromRead readEepromWords(uint8_t config, const std::function<bool()>& stop = {});

}  // namespace kv::jobs
