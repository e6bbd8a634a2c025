#include "kv/jobs/self_test_table.h"

#include <array>

#include "kelvalib.h"
#include "kv/jobs/chip_kind.h"
#include "kv/jobs/string_table.h"

namespace kv::jobs {

namespace {

using namespace ids::selftest;

constexpr SelfTest kRegister{"register",       kRegisterName,    kRegisterTip,
                             kRegisterDisplay, kRegisterFailure, API_MacRegisterTest};
constexpr SelfTest kEeprom{"eeprom", kEepromName, kEepromTip, kEepromDisplay, kEepromFailure, API_EEPROMTest};
// "Loopback" and "MAC Loopback" run the same driver-assisted loopback, under the runner's name
// for it.
constexpr SelfTest kLoopback{"loopback",       kLoopbackName,    kLoopbackTip,
                             kLoopbackDisplay, kLoopbackFailure, API_MACLoopbackTest};
constexpr SelfTest kMacLoopback{"mac-loopback",      kMacLoopbackName,    kMacLoopbackTip,
                                kMacLoopbackDisplay, kMacLoopbackFailure, API_MACLoopbackTest};
constexpr SelfTest kPhyLoopback{"phy-loopback",      kPhyLoopbackName,    kPhyLoopbackTip,
                                kPhyLoopbackDisplay, kPhyLoopbackFailure, API_PHYLoopbackTest};
constexpr SelfTest kIrq{"irq", kIrqName, kIrqTip, kIrqDisplay, kIrqFailure, API_CDMISRTest};
constexpr SelfTest kFifo{"fifo", kFifoName, kFifoTip, kFifoDisplay, kFifoFailure, API_FIFOTest};

constexpr std::array<const SelfTest*, 3> k4420Tests = {&kRegister, &kEeprom, &kLoopback};
constexpr std::array<const SelfTest*, 6> kOtherTests = {&kRegister,    &kEeprom, &kMacLoopback,
                                                        &kPhyLoopback, &kIrq,    &kFifo};

}  // namespace

std::span<const SelfTest* const> selfTestsFor(uint8_t chipKindFlags) {
    if (chipKindFlags & chipkind::k4420) return k4420Tests;
    return kOtherTests;
}

}  // namespace kv::jobs
