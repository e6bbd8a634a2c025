// The PHY's register pages, read one register at a time with the paged read, which leaves the
// page selection as it was; the selection itself is read with the word read.
#include <array>

#include "hardware_images.h"
#include "kelvalib.h"
#include "kv/phy_registers.h"

namespace kv::capture {

namespace {

using phy::kPages;
using phy::kPageSelect;
using phy::kRegisters;

using Page = std::array<uint16_t, kRegisters>;

}  // namespace

void capturePhyPages(AdapterContext& a) {
    // The word read answers 0xFFFF when it fails: no page selection has that value.
    const uint16_t selected = ReadPhyUshort(kPageSelect);
    if (selected == 0xFFFF) a.failed("PHY page selection", protocol::OID_TVX_READ_PHY_WORD);
    std::array<Page, kPages> pages{};
    for (uint16_t page = 0; page < kPages; ++page) {
        for (uint16_t reg = 0; reg < kPageSelect; ++reg) {
            if (!API_ReadPHY(page, reg, &pages[page][reg])) {
                a.failed("PHY registers", protocol::OID_TVX_READ_PHY);
                return;
            }
        }
    }
    JsonValue image = JsonValue::array();
    for (auto& page : pages) {
        page[kPageSelect] = selected == 0xFFFF ? 0 : selected;
        image.push(hexWordLine(page));
    }
    a.json().member("images").set("phy", std::move(image));
    a.json().member("phy").set("mdix", (pages[0][phy::kSpecificStatus] & phy::kMdix) != 0);
    const auto latched = static_cast<uint8_t>(pages[phy::kCableLengthPage][phy::kCableLengthEstimate] & 0xFF);
    if (latched == phy::kNoLengthEstimate) return;
    if (const int metres = phy::cableLengthFromEstimate(latched, a.linkSpeed()); metres > 0)
        a.json().member("cable").set("length", metres);
}

}  // namespace kv::capture
