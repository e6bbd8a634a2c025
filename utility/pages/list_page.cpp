#include "pages/list_page.h"

#include "framework/list_view.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/string_table.h"

namespace kv::diag {

ListPage::ListPage(const ui::DialogTemplate& dialogTemplate, int listId, PageServices& services)
    : ui::PropertyPage(dialogTemplate), listId_(listId), services_(services) {}

ui::ListView& ListPage::list() const { return *findList(); }

ui::ListView* ListPage::findList() const { return control<ui::ListView>(listId_); }

void ListPage::appendLabelValue(int labelId, const QString& value) {
    diag::appendLabelValue(list(), loadString(labelId), value);
}

bool ListPage::onKillActive() { return leaveListPage(services_, *this, findList()); }

}  // namespace kv::diag
