#include "pages/statistics_page.h"

#include "framework/list_view.h"
#include "kv/jobs/statistics.h"
#include "kv/jobs/throughput.h"
#include "kv/protocol.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/adapter_session.h"
#include "session/page_services.h"

namespace kv::diag {

namespace {

using namespace res::str::statistics;

// What a row shows, kept as its item data: a counter entry's index, or one of the throughputs.
constexpr intptr_t kSendRow = -1;
constexpr intptr_t kReceiveRow = -2;
constexpr intptr_t kTotalRow = -3;

constexpr char kUnknown[] = "Unknown";

using jobs::formatThroughput;
using jobs::queryCounter;

}  // namespace

CStatisticsPage::CStatisticsPage(PageServices& services)
    : ListPage(statisticsDialog(), res::ctl::kStatisticsList, services),
      send_{protocol::OID_TVX_BYTES_XMIT},
      receive_{protocol::OID_TVX_BYTES_RCV} {
    for (const jobs::CounterEntry& entry : jobs::counterEntries())
        counters_.push_back({entry.oid, loadString(entry.labelId)});
}

bool CStatisticsPage::onInitDialog() {
    ui::ListView& view = list();
    const int half = view.clientWidth() / 2;
    setUpLabelValueList(view, half, half);
    return true;
}

bool CStatisticsPage::onSetActive() {
    if (checkAdapter(services()) != AdapterAccess::Ready) return true;
    ui::ListView& rows = list();
    rows.deleteAllRows();
    rows.appendRow(loadString(kThroughputSend), kSendRow);
    rows.appendRow(loadString(kThroughputReceive), kReceiveRow);
    rows.appendRow(loadString(kThroughputTotal), kTotalRow);
    for (size_t i = 0; i < counters_.size(); ++i) rows.appendRow(counters_[i].label, static_cast<intptr_t>(i));
    onTimer(kForcedRefresh);
    timers().setTimer(kRefreshTimer, jobs::kStatisticsPeriodMs);
    return ui::PropertyPage::onSetActive();
}

void CStatisticsPage::onTimer(int id) {
    // The timer keeps running while another page is shown; its ticks then do nothing.
    if (id == kRefreshTimer && isVisible())
        refresh(false);
    else if (id == kForcedRefresh)
        refresh(true);
}

void CStatisticsPage::refresh(bool forced) {
    ui::ListView* view = findList();
    if (!view) return;
    const ui::ListView::FrozenDrawing frozen(*view);
    for (int row = 0; row < view->rowCount(); ++row) {
        const intptr_t shows = view->itemData(row);
        if (shows == kSendRow)
            refreshThroughputRow(*view, row, send_);
        else if (shows == kReceiveRow)
            refreshThroughputRow(*view, row, receive_);
        else if (shows == kTotalRow)
            view->setItemText(row, 1, QString::fromStdString(formatThroughput(receive_.rate + send_.rate)));
        else if (shows >= 0 && static_cast<size_t>(shows) < counters_.size())
            refreshCounterRow(*view, row, counters_[static_cast<size_t>(shows)], forced);
    }
}

void CStatisticsPage::refreshCounterRow(ui::ListView& view, int row, CounterEntry& entry, bool forced) {
    const std::optional<jobs::OidValue> answer = services().session().counter(entry.oid);
    if (!answer) {
        view.setItemText(row, 1, kUnknown);
        entry.lastShown.reset();
        return;
    }
    const uint64_t value = jobs::shownCounterValue(entry.oid, answer->value, services().driverVersionNumber());
    if (value == entry.lastShown && !forced) return;
    entry.lastShown = value;
    view.setItemText(row, 1, answer->wide ? QString::number(value) : QString::number(static_cast<uint32_t>(value)));
}

void CStatisticsPage::refreshThroughputRow(ui::ListView& view, int row, ByteTotal& total) {
    const std::optional<jobs::OidValue> answer = services().session().counter(total.oid);
    if (!answer) {
        view.setItemText(row, 1, kUnknown);
        return;
    }
    total.rate = jobs::rateFromTotals(total.previousTotal, answer->value);
    total.previousTotal = answer->value;
    view.setItemText(row, 1, QString::fromStdString(formatThroughput(total.rate)));
}

}  // namespace kv::diag
