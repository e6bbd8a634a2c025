// Which pages the sheet shows for an adapter: the page-set mask that its chip kind calls for, and
// bringing the sheet's pages in line with a mask.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kv::diag {

namespace pageset {
inline constexpr uint32_t kGeneralOnly = 0x01;  // no adapter, or a chip of no known kind
}

// The register byte at 0x43 of the current adapter; nullopt when it cannot be read.
using RegisterByteReader = std::function<std::optional<uint8_t>()>;

// The page-set mask for the chip-kind flags, first match wins: 0x20 gives 0x05, 0x08 gives 0x09,
// 0x02 or 0x80 give 0x03, 0x04 gives 0x39 when the register byte at 0x43 masked with 0x7C is 0x3C
// and 0x19 otherwise (also when it cannot be read), anything else 0x01. The register is read only
// for a chip that reaches the 0x04 test.
uint32_t pageSetMask(uint8_t chipFlags, const RegisterByteReader& readRegister43);

// One page of the page table as the membership algorithm sees it.
struct PageSlot {
    uint32_t mask = 0;   // page-set bits for which the page is shown
    bool exists = true;  // the page object could be made
    bool added = false;  // the page is in the sheet now
    int image = -1;      // its icon in the page-icon list; -1 for none
};

// The sheet the pages are added to and removed from, by table entry.
class PageMembership {
public:
    virtual ~PageMembership() = default;
    virtual void addTablePage(size_t entry) = 0;
    virtual void removeTablePage(size_t entry) = 0;
    virtual void setTablePageIcon(size_t entry, int image) = 0;
};

// Brings the sheet in line with the mask: every added page after the first is taken out (so the
// pages come back in table order), then each page is added or removed by its mask. Pages get
// their icons when page-icon mode is on.
void applyPageSet(std::vector<PageSlot>& table, uint32_t mask, bool pageIconMode, PageMembership& sheet);

}  // namespace kv::diag
