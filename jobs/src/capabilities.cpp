#include "kv/jobs/capabilities.h"

#include "kv/jobs/chip_kind.h"

namespace kv::jobs {

namespace {

constexpr uint8_t kRegisterKindBits = 0x7C;
constexpr uint8_t kRegisterKindGigabit = 0x3C;
constexpr uint16_t kKindRegister = 0x43;

}  // namespace

uint32_t pageSetMask(uint8_t chipFlags, const RegisterByteReader& readRegister43) {
    if (chipFlags & chipkind::kNoPages) return 0x05;
    if (chipFlags & chipkind::k4450) return 0x09;
    if (chipFlags & (chipkind::k4420 | chipkind::kLegacy)) return 0x03;
    if (chipFlags & chipkind::k4410) {
        const std::optional<uint8_t> byte = readRegister43 ? readRegister43() : std::nullopt;
        return byte && (*byte & kRegisterKindBits) == kRegisterKindGigabit ? 0x39 : 0x19;
    }
    return pageset::kGeneralOnly;
}

uint32_t currentPageSet(const AdapterInfo& info) {
    return pageSetMask(chipKindFlags(info), []() -> std::optional<uint8_t> {
        uint8_t value = 0;
        if (ReadPortUchar(kKindRegister, &value) != 1) return std::nullopt;
        return value;
    });
}

}  // namespace kv::jobs
