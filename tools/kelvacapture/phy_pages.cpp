// The PHY's register pages, read one register at a time with the paged read, which leaves the
// page selection as it was; the selection itself is read with the word read.
#include <array>

#include "hardware_images.h"
#include "kelvalib.h"

namespace kv::capture {

namespace {

constexpr uint16_t kPages = 4;
constexpr uint16_t kRegisters = 32;
constexpr uint16_t kPageSelect = 0x1F;
constexpr uint16_t kSpecificStatus = 0x11;  // page 0: bit 6 the crossover state
constexpr uint16_t kMdix = 0x0040;
constexpr uint16_t kCableLengthPage = 1;
constexpr uint16_t kCableLength = 0x1E;  // low byte: the latched length estimate, 0xFF none
constexpr uint16_t kNoEstimate = 0xFF;
constexpr uint32_t kGigabitMbps = 1000;

// The latched estimate in metres: whole metres at 10 and 100 Mbit/s; on a 1000 Mbit/s link the
// gigabit estimator's steps, (metres + 14) / 2, which read back as 2 x steps - 14 metres.
int latchedMetres(uint16_t latched, uint32_t linkMbps) { return linkMbps == kGigabitMbps ? 2 * latched - 14 : latched; }

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
    a.json().member("phy").set("mdix", (pages[0][kSpecificStatus] & kMdix) != 0);
    const uint16_t latched = pages[kCableLengthPage][kCableLength] & 0xFF;
    if (latched == kNoEstimate) return;
    if (const int metres = latchedMetres(latched, a.linkSpeed()); metres > 0)
        a.json().member("cable").set("length", metres);
}

}  // namespace kv::capture
