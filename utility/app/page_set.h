// Which pages the sheet shows for an adapter: the page-set mask that its chip kind calls for, and
// bringing the sheet's pages in line with a mask.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "kv/jobs/capabilities.h"

namespace kv::diag {

// The mask and its bits are shared with the command line's jobs (kv/jobs/capabilities.h).
namespace pageset = jobs::pageset;
using jobs::pageSetMask;
using jobs::RegisterByteReader;

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
