// The "Statistics" page: the selected adapter's traffic counters and its send, receive and total
// throughput, refreshed twice a second while the page is visible.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "framework/property_page.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag {

class PageServices;

class CStatisticsPage : public ui::PropertyPage {
    Q_OBJECT

public:
    // The refresh timer, and the id of the refresh forced at activation.
    static constexpr int kRefreshTimer = 3;
    static constexpr int kForcedRefresh = 4;
    static constexpr uint32_t kRefreshPeriodMs = 500;

    explicit CStatisticsPage(PageServices& services);

    bool onSetActive() override;
    bool onKillActive() override;

protected:
    bool onInitDialog() override;
    void onTimer(int id) override;

private:
    // One driver counter the page lists.
    struct CounterEntry {
        uint32_t oid;
        QString label;
        uint32_t kindMask;  // 0: every adapter kind; else listed when it shares a bit with ChipClass
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

    ui::ListView* list() const;
    void refresh(bool forced);
    void refreshCounterRow(ui::ListView& list, int row, CounterEntry& entry, bool forced);
    void refreshThroughputRow(ui::ListView& list, int row, ByteTotal& total);

    PageServices& services_;
    std::vector<CounterEntry> counters_;
    ByteTotal send_;
    ByteTotal receive_;
};

}  // namespace kv::diag
