// The "Statistics" page: the selected adapter's traffic counters and its send, receive and total
// throughput, refreshed twice a second while the page is visible.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "pages/list_page.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag {

class PageServices;

class CStatisticsPage : public ListPage {
    Q_OBJECT

public:
    // The refresh timer, and the id of the refresh forced at activation.
    static constexpr int kRefreshTimer = 3;
    static constexpr int kForcedRefresh = 4;

    explicit CStatisticsPage(PageServices& services);

    bool onSetActive() override;

protected:
    bool onInitDialog() override;
    void onTimer(int id) override;

private:
    // One driver counter the page lists.
    struct CounterEntry {
        uint32_t oid;
        QString label;
        // The value the row shows; none while it shows "Unknown", so that the value is written
        // again once the driver answers.
        std::optional<uint64_t> lastShown = 0;
    };
    // The throughput the page works out from one of the driver's byte totals.
    struct ByteTotal {
        uint32_t oid;
        uint64_t previousTotal = 0;  // 0: no earlier reading
        double rate = 0.0;           // bytes per second
    };

    void refresh(bool forced);
    void refreshCounterRow(ui::ListView& list, int row, CounterEntry& entry, bool forced);
    void refreshThroughputRow(ui::ListView& list, int row, ByteTotal& total);

    std::vector<CounterEntry> counters_;
    ByteTotal send_;
    ByteTotal receive_;
};

}  // namespace kv::diag
