#include "pages/driver_page.h"

#include <algorithm>

#include "framework/ansi_text.h"
#include "framework/list_view.h"
#include "kelvalib.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/page_services.h"

namespace kv::diag {

namespace {

// String-table ids of the row labels.
enum : int {
    kDescription = 1,
    kProvider = 2,
    kVersion = 3,
    kDate = 4,
    kInfPath = 5,
    kBinaryPath = 6,
};

// Chip-class bits of the adapter kinds whose driver the page describes.
constexpr uint32_t kDriverKinds = 0x8E;

}  // namespace

CDriverPage::CDriverPage(PageServices& services) : ListPage(driverDialog(), res::ctl::kDriverList, services) {}

bool CDriverPage::onInitDialog() {
    // The value column is three times the label column: it runs past the right edge, and long
    // paths scroll sideways.
    const int third = list().clientWidth() / 3;
    setUpLabelValueList(list(), third, 3 * third);
    return true;
}

bool CDriverPage::onSetActive() {
    // Not ready, or the adapter gone: the list keeps what it shows.
    if (checkAdapter(services()) != AdapterAccess::Ready) return true;
    ui::ListView::FrozenDrawing frozen(list());
    list().deleteAllRows();
    if ((services().adapterInfo().ChipClass & kDriverKinds) != 0) appendDriverRows();
    return ui::PropertyPage::onSetActive();
}

void CDriverPage::appendDriverRows() {
    const DriverInfo_A& driver = services().driverInfo();
    // The provider comes before the version, although the record keeps the version first.
    const struct {
        int label;
        const char* text;  // a field of KV_TEXT_CHARS characters
    } texts[] = {
        {kDescription, driver.DriverDesc}, {kProvider, driver.ProviderName}, {kVersion, driver.DriverVersion},
        {kDate, driver.DriverDate},        {kInfPath, driver.InfPath},
    };
    for (const auto& t : texts)
        if (t.text[0] != '\0') appendLabelValue(t.label, ui::fromAnsiBuffer(t.text, KV_TEXT_CHARS));

    // Every counted slot, empty or not; only the first is labelled, so the paths read as one
    // block. A count beyond the record's slots is cut to them.
    const uint32_t usedSlots = std::min<uint32_t>(driver.BinaryCount, KV_BINARY_SLOTS);
    for (uint32_t i = 0; i < usedSlots; ++i)
        diag::appendLabelValue(list(), i == 0 ? loadString(kBinaryPath) : QString(),
                               ui::fromAnsiBuffer(driver.BinaryName[i], KV_TEXT_CHARS));
}

}  // namespace kv::diag
