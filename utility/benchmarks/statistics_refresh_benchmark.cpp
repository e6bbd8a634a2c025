// One refresh of the Statistics page on the simulated host (the default machine's 4450): six
// driver queries through the library and the list rows written, as every 500 ms tick does while
// the page is shown, and as the forced refresh of an activation does.
#include <benchmark/benchmark.h>

#include "kv/sim/host.h"
#include "pages/statistics_page.h"
#include "support/page_harness.h"

namespace {

// The page with its timer handler at hand.
class MeasuredStatisticsPage : public kv::diag::CStatisticsPage {
public:
    using CStatisticsPage::CStatisticsPage;
    using CStatisticsPage::onTimer;
};

void statisticsRefresh(benchmark::State& state) {
    kv::diag::testing::PageHarness harness(kv::sim::testing::MachineBuilder::defaultMachine());
    if (!harness.selectAdapter(0)) state.SkipWithError("no adapter 0");
    auto& page = harness.host<MeasuredStatisticsPage>();
    harness.activate();
    const int id = state.range(0) != 0 ? MeasuredStatisticsPage::kForcedRefresh : MeasuredStatisticsPage::kRefreshTimer;
    kv::sim::Host& host = kv::sim::Host::get();
    int64_t refreshes = 0;
    for (auto _ : state) {
        // Half a second of traffic, so that the counter rows change.
        host.clock().advance(500);
        page.onTimer(id);
        if (++refreshes % 1024 == 0) {
            // The trace keeps every request; empty it now and then, outside the measurement.
            state.PauseTiming();
            host.trace().clear();
            state.ResumeTiming();
        }
    }
    state.SetLabel(id == MeasuredStatisticsPage::kForcedRefresh ? "forced, at activation" : "timer tick");
}
BENCHMARK(statisticsRefresh)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
