#include "pages/driver_page.h"

#include "session/page_services.h"
#include "framework/list_view.h"
#include "kv/jobs/adapter_facts.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/page_services.h"

namespace kv::diag {

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
    // The provider comes before the version, although the record keeps the version first; every
    // counted program file is listed, empty or not, and only the first is labelled (label id 0 has
    // no text), so the paths read as one block.
    for (const jobs::LabelledValue& row : jobs::driverRows(services().adapterInfo(), services().driverInfo()))
        appendLabelValue(row.labelId, QString::fromStdString(row.value));
    return ui::PropertyPage::onSetActive();
}

}  // namespace kv::diag
