#include "kv/jobs/self_test_table.h"

#include <array>

#include "kelvalib.h"
#include "kv/jobs/chip_kind.h"

namespace kv::jobs {

namespace {

constexpr SelfTest kRegister{"register", 43, 44, 45, 46, API_MacRegisterTest};
constexpr SelfTest kEeprom{"eeprom", 74, 47, 48, 49, API_EEPROMTest};
// "Loopback" and "MAC Loopback" run the same driver-assisted loopback, under the runner's name
// for it.
constexpr SelfTest kLoopback{"loopback", 54, 55, 56, 57, API_MACLoopbackTest};
constexpr SelfTest kMacLoopback{"mac-loopback", 58, 59, 60, 61, API_MACLoopbackTest};
constexpr SelfTest kPhyLoopback{"phy-loopback", 62, 63, 64, 65, API_PHYLoopbackTest};
constexpr SelfTest kIrq{"irq", 66, 67, 68, 69, API_CDMISRTest};
constexpr SelfTest kFifo{"fifo", 70, 71, 72, 73, API_FIFOTest};

constexpr std::array<const SelfTest*, 3> k4420Tests = {&kRegister, &kEeprom, &kLoopback};
constexpr std::array<const SelfTest*, 6> kOtherTests = {&kRegister,    &kEeprom, &kMacLoopback,
                                                        &kPhyLoopback, &kIrq,    &kFifo};

}  // namespace

std::span<const SelfTest* const> selfTestsFor(uint8_t chipKindFlags) {
    if (chipKindFlags & chipkind::k4420) return k4420Tests;
    return kOtherTests;
}

}  // namespace kv::jobs
