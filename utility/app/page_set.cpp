#include "app/page_set.h"

#include "session/chip_kind.h"

namespace kv::diag {

namespace {

constexpr uint8_t kRegisterKindBits = 0x7C;
constexpr uint8_t kRegisterKindGigabit = 0x3C;

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

void applyPageSet(std::vector<PageSlot>& table, uint32_t mask, bool pageIconMode, PageMembership& sheet) {
    for (size_t entry = table.size(); entry-- > 1;) {
        if (!table[entry].added) continue;
        sheet.removeTablePage(entry);
        table[entry].added = false;
    }
    for (size_t entry = 0; entry < table.size(); ++entry) {
        PageSlot& slot = table[entry];
        if (!slot.exists) continue;
        const bool wanted = (mask & slot.mask) != 0;
        if (wanted && !slot.added) {
            sheet.addTablePage(entry);
            if (slot.image >= 0 && pageIconMode) sheet.setTablePageIcon(entry, slot.image);
            slot.added = true;
        } else if (!wanted && slot.added) {
            sheet.removeTablePage(entry);
            slot.added = false;
        }
    }
}

}  // namespace kv::diag
