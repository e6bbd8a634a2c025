#include "pages/cable_page.h"

#include <algorithm>
#include <iterator>

#include "framework/busy_cursor.h"
#include "framework/list_view.h"
#include "kv/jobs/cable.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/page_services.h"

namespace kv::diag {

namespace {

using namespace res::str::cable;

enum Column : int { kPair = 0, kLength = 1, kStatus = 2 };

constexpr int kPairs = jobs::kCablePairs;

// Another fault pattern has no status text (id 0 has none).
QString statusText(int32_t status) { return loadString(jobs::pairStateTextId(jobs::pairState(status))); }

QString lengthText(int32_t metres) {
    return metres >= 0 ? QString::asprintf("%d", metres) : loadString(kUnknownLength);
}

}  // namespace

CCablePage::CCablePage(PageServices& services) : ListPage(cableDialog(), res::ctl::kCableList, services) {}

bool CCablePage::onInitDialog() {
    ui::ListView& view = list();
    view.setGridLines(true);
    view.setFullRowSelect(true);
    const int third = view.clientWidth() / 3;
    view.addColumn(loadString(kPairColumn), third);
    view.addColumn(loadString(kLengthColumn), third);
    view.addColumn(loadString(kStatusColumn), third);
    return true;
}

bool CCablePage::onSetActive() {
    if (checkAdapter(services()) != AdapterAccess::Ready) return true;
    ui::ListView& view = list();
    view.deleteAllRows();
    insertPairRows(view);
    analyse(view);
    return ui::PropertyPage::onSetActive();
}

bool CCablePage::onKillActive() { return ui::PropertyPage::onKillActive(); }

void CCablePage::onCommand(int id, int notification) {
    if (id == res::ctl::kCableRefresh && notification == ui::notify::kClicked) refresh();
}

void CCablePage::refresh() {
    if (checkAdapter(services()) != AdapterAccess::Ready) return;
    analyse(list());
}

void CCablePage::insertPairRows(ui::ListView& view) {
    for (int n = 0; n < kPairs; ++n) {
        const std::string_view name = jobs::cablePairName(n);
        view.appendRow(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), n + 1);
    }
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
    // The library found the adapter absent: its driver has been restarted; the pairs stay empty.
    if (!jobs::analyseCable(result_)) return;
    for (int n = 0; n < rows; ++n) {
        view.setItemText(n, kLength, lengthText(result_[n + kPairs]));
        view.setItemText(n, kStatus, statusText(result_[n]));
    }
}

void CCablePage::forgetOtherAdaptersResult() {
    Analysed selected;
    selected.index = services().selectedAdapterIndex();
    const AdapterInfo& info = services().adapterInfo();
    std::copy(std::begin(info.MacAddress), std::end(info.MacAddress), selected.ethernetAddress.begin());
    if (selected == analysed_) return;
    result_ = {};
    analysed_ = selected;
}

}  // namespace kv::diag
