// Sequences of PHY register writes, written as tables of (page, register, value) steps.
#pragma once

#include <cstdint>
#include <span>

#include "kv/phy_registers.h"

namespace kv::lib {

struct PhyWrite {
    uint16_t page;
    uint16_t reg;
    uint16_t value;
};

// Each step with API_WritePHY, its page in the request. The results are not looked at: a failed
// write shows its own box and the sequence goes on.
void writePhyPaged(std::span<const PhyWrite> steps);

// Each step with WritePhyUshort. A step whose page differs from the one the previous step used
// first selects it through register 31; the first step always selects its page. Failed writes
// show their boxes and the sequence goes on.
void writePhySelected(std::span<const PhyWrite> steps);

// Selects the page of the word commands.
void selectPhyPage(uint16_t page);

}  // namespace kv::lib
