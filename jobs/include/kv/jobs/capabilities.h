// Which jobs an adapter offers: the page-set mask its chip kind calls for, and the page-set bits of
// each job. The utility shows a page by these bits; the command line refuses a job by them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "kelvalib.h"

namespace kv::jobs {

namespace pageset {
inline constexpr uint32_t kGeneralOnly = 0x01;  // no adapter, or a chip of no known kind
// Page-set bits: 0x01 every adapter, 0x02 the 4420 kind, 0x04 the 0x20 kind, 0x08 the 4430 / 4450
// and 4410 / 4440 kinds, 0x10 the 4410 / 4440 kind.
inline constexpr uint32_t kEveryAdapter = 0x1F;  // standard counters and frames work on any adapter
inline constexpr uint32_t kFamilyChips = 0x1E;   // the maker's driver and its private commands
inline constexpr uint32_t kCableChips = 0x18;    // the PHY's cable functions
}  // namespace pageset

// The register byte at 0x43 of the current adapter; nullopt when it cannot be read.
using RegisterByteReader = std::function<std::optional<uint8_t>()>;

// The page-set mask for the chip-kind flags, first match wins: 0x20 gives 0x05, 0x08 gives 0x09,
// 0x02 or 0x80 give 0x03, 0x04 gives 0x39 when the register byte at 0x43 masked with 0x7C is 0x3C
// and 0x19 otherwise (also when it cannot be read), anything else 0x01. The register is read only
// for a chip that reaches the 0x04 test.
uint32_t pageSetMask(uint8_t chipFlags, const RegisterByteReader& readRegister43);

// The current adapter's mask, its register read through ReadPortUchar.
uint32_t currentPageSet(const AdapterInfo& info);

inline bool offers(uint32_t pageSet, uint32_t jobBits) { return (pageSet & jobBits) != 0; }

}  // namespace kv::jobs
