#include "app/page_set.h"

namespace kv::diag {

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
