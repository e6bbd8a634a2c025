// The hardware self-tests the Diagnostics page offers: the name a script gives each, its texts
// (string-table ids), the library test it runs, and which of them an adapter kind gets.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kv::jobs {

struct SelfTest {
    std::string_view key;  // "register", "eeprom", "loopback", "mac-loopback", "phy-loopback", "irq", "fifo"
    int nameId;            // the row's text
    int descriptionId;     // the row's info tip
    int displayNameId;     // named in the "Testing on" status
    int failureId;         // appended to the log when the test fails
    int (*run)();          // the library's test: nonzero is a pass
};

// The tests listed for an adapter of these chip-kind flags, in row order: "Register" and
// "EEPROM", then "Loopback" alone for the 4420 class, else "MAC Loopback", "PHY Loopback",
// "IRQ" and "FIFO".
std::span<const SelfTest* const> selfTestsFor(uint8_t chipKindFlags);

}  // namespace kv::jobs
