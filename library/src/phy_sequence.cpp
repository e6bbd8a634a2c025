#include "phy_sequence.h"

#include "kelvalib.h"

namespace kv::lib {

void writePhyPaged(std::span<const PhyWrite> steps) {
    for (const PhyWrite& s : steps) API_WritePHY(s.page, s.reg, s.value);
}

void writePhySelected(std::span<const PhyWrite> steps) {
    const PhyWrite* previous = nullptr;
    for (const PhyWrite& s : steps) {
        if (!previous || previous->page != s.page) selectPhyPage(s.page);
        WritePhyUshort(s.reg, s.value);
        previous = &s;
    }
}

void selectPhyPage(uint16_t page) { WritePhyUshort(phy::kPageSelect, page); }

}  // namespace kv::lib
