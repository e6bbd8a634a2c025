// The adapter's raw images: the register window, the PCI configuration space, the PHY's register
// pages and the serial EEPROM's words, written under the adapter's "images" (and "eeprom.words").
// Only reads reach the hardware; the EEPROM port's pins, which a word read must drive, are put
// back as they were.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "adapter_context.h"
#include "kv/jobs/hardware_dump.h"

namespace kv::capture {

using jobs::RegisterWindow;

// The whole register window in one read; nothing when it fails.
std::optional<RegisterWindow> captureRegisterWindow(AdapterContext& a);
void capturePciConfig(AdapterContext& a);
// Pages 0 to 3, registers 0 to 30 by page, and the page select (register 31) as it stands; also
// the crossover state and a latched cable length, which the replay's models take from them.
void capturePhyPages(AdapterContext& a);
// Every word of the part the configuration register names (64 or 128).
void captureEepromWords(AdapterContext& a, uint8_t configRegister);

}  // namespace kv::capture
