#include "pages/general_info_page.h"

#include "framework/list_view.h"
#include "kv/jobs/adapter_facts.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/adapter_session.h"
#include "session/page_services.h"

namespace kv::diag {

CGeneralInfoPage::CGeneralInfoPage(PageServices& services)
    : ListPage(generalDialog(), res::ctl::kGeneralList, services) {}

bool CGeneralInfoPage::onInitDialog() {
    const int half = list().clientWidth() / 2;
    setUpLabelValueList(list(), half, half);
    return true;
}

bool CGeneralInfoPage::onSetActive() {
    list().deleteAllRows();
    if (checkAdapter(services()) != AdapterAccess::Ready) return true;

    ui::ListView::FrozenDrawing frozen(list());
    const AdapterInfo& info = services().adapterInfo();
    const jobs::AddressFacts addresses = services().session().addresses(info.ChipClass);
    const jobs::LinkFacts link = services().session().link();
    for (const jobs::LabelledValue& row : jobs::generalRows(info, addresses, link))
        appendLabelValue(row.labelId, QString::fromStdString(row.value));
    return ui::PropertyPage::onSetActive();
}

}  // namespace kv::diag
