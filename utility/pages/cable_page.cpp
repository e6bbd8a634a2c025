#include "pages/cable_page.h"

#include <algorithm>
#include <iterator>

#include "app/page_services.h"
#include "framework/busy_cursor.h"
#include "framework/list_view.h"
#include "kelvalib.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace kv::diag {

namespace {

// String-table ids.
enum : int {
    kNormal = 29,
    kShort = 30,
    kOpen = 31,
    kUnknownLength = 32,
    kPairColumn = 33,
    kLengthColumn = 34,
    kStatusColumn = 35,
};

enum Column : int { kPair = 0, kLength = 1, kStatus = 2 };

constexpr int kPairs = 4;
constexpr const char* kPairNames[kPairs] = {"1-2", "3-6", "4-5", "7-8"};

QString statusText(int32_t status) {
    switch (status) {
        case 0:
            return loadString(kNormal);
        case 1:
            return loadString(kShort);
        case 2:
            return loadString(kOpen);
        default:  // another fault pattern: no status text
            return {};
    }
}

QString lengthText(int32_t metres) {
    return metres >= 0 ? QString::asprintf("%d", metres) : loadString(kUnknownLength);
}

}  // namespace

CCablePage::CCablePage(PageServices& services) : ui::PropertyPage(cableDialog()), services_(services) {}

ui::ListView* CCablePage::list() const { return control<ui::ListView>(res::ctl::kCableList); }

bool CCablePage::onInitDialog() {
    ui::ListView* view = list();
    view->setGridLines(true);
    view->setFullRowSelect(true);
    const int third = view->clientWidth() / 3;
    view->addColumn(loadString(kPairColumn), third);
    view->addColumn(loadString(kLengthColumn), third);
    view->addColumn(loadString(kStatusColumn), third);
    return true;
}

bool CCablePage::onSetActive() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return true;
    ui::ListView* view = list();
    view->deleteAllRows();
    insertPairRows(*view);
    analyse(*view);
    return ui::PropertyPage::onSetActive();
}

void CCablePage::onCommand(int id, int notification) {
    if (id == res::ctl::kCableRefresh && notification == ui::notify::kClicked) refresh();
}

void CCablePage::refresh() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return;
    analyse(*list());
}

void CCablePage::insertPairRows(ui::ListView& view) {
    for (int n = 0; n < kPairs; ++n) view.appendRow(QString::fromLatin1(kPairNames[n]), n + 1);
}

void CCablePage::analyse(ui::ListView& view) {
    const int rows = std::min(view.rowCount(), kPairs);
    for (int n = 0; n < rows; ++n) {
        view.setItemText(n, kLength, QString());
        view.setItemText(n, kStatus, QString());
    }
    // The analysis runs here, on the user-interface thread, behind the wait cursor: the page
    // does not respond until it returns (about 11 seconds with link, longer without).
    ui::BusyCursor busy;
    forgetOtherAdaptersResult();
    if (API_GetCableStatus(result_.data()) != 1) {
        // The library found the adapter absent: restart its driver; the pairs stay empty.
        API_ReloadMiniport();
        return;
    }
    for (int n = 0; n < rows; ++n) {
        view.setItemText(n, kLength, lengthText(result_[n + kPairs]));
        view.setItemText(n, kStatus, statusText(result_[n]));
    }
}

void CCablePage::forgetOtherAdaptersResult() {
    Analysed selected;
    selected.index = services_.selectedAdapterIndex();
    std::copy(std::begin(services_.adapterInfo().MacAddress), std::end(services_.adapterInfo().MacAddress),
              selected.ethernetAddress.begin());
    if (selected == analysed_) return;
    result_ = {};
    analysed_ = selected;
}

}  // namespace kv::diag
