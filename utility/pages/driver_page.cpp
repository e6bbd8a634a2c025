#include "pages/driver_page.h"

#include "app/page_services.h"
#include "framework/list_view.h"
#include "kv/jobs/adapter_facts.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

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

// The label of each driver field, in the order of jobs::DriverField.
constexpr int kFieldLabels[] = {kDescription, kProvider, kVersion, kDate, kInfPath};

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
    if (jobs::showsPciIdentity(services().adapterInfo().ChipClass)) appendDriverRows();
    return ui::PropertyPage::onSetActive();
}

void CDriverPage::appendDriverRows() {
    // The provider comes before the version, although the record keeps the version first; every
    // counted program file is listed, empty or not, and only the first is labelled, so the paths
    // read as one block.
    const jobs::DriverFacts driver = jobs::driverFacts(services().driverInfo());
    for (const auto& field : driver.fields)
        appendLabelValue(kFieldLabels[static_cast<int>(field.field)], QString::fromStdString(field.text));
    for (size_t i = 0; i < driver.binaries.size(); ++i)
        diag::appendLabelValue(list(), i == 0 ? loadString(kBinaryPath) : QString(),
                               QString::fromStdString(driver.binaries[i]));
}

}  // namespace kv::diag
