// One refresh of the Statistics page on the simulated host: six driver queries through the library
// and the list rows rewritten, as every 500 ms tick does while the page is shown.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/page_services.h"
#include "kelvalib.h"
#include "kv/sim/host.h"
#include "kv/sim/testing/machine_builder.h"
#include "pages/statistics_page.h"

namespace {

using kv::sim::Json;

// The window's services for one selected, ready 4450 with a known driver version.
class SelectedAdapter : public kv::diag::PageServices {
public:
    SelectedAdapter() {
        API_Open();
        API_GetAdapterList_A(&list_);
        API_SetCurrAdaptIdx(0);
        API_GetAdapterInfo(&info_);
    }
    ~SelectedAdapter() override { API_Close(); }
    int selectedAdapterIndex() const override { return 0; }
    int adapterReady() const override { return 1; }
    int driverVersionNumber() const override { return 611; }
    const AdapterList_A& adapterList() const override { return list_; }
    const AdapterInfo& adapterInfo() const override { return info_; }
    const DriverInfo_A& driverInfo() const override { return driver_; }
    void requestAdapterListRefresh() override {}
    void watchWorker(kv::ui::WorkerHandle, bool, bool) override {}
    void enableUserActions(bool) override {}

private:
    AdapterList_A list_{};
    AdapterInfo info_{};
    DriverInfo_A driver_{};
};

// The page with its timer handler at hand.
class MeasuredPage : public kv::diag::CStatisticsPage {
public:
    using CStatisticsPage::CStatisticsPage;
    using CStatisticsPage::onTimer;
};

void BM_StatisticsRefresh(benchmark::State& state) {
    kv::sim::testing::MachineBuilder machine;
    machine.addAdapter(0x4450)
        .set("statistics.txBytesPerSecond", Json(int64_t{310000}))
        .set("statistics.rxBytesPerSecond", Json(int64_t{1250000}))
        .set("statistics.txFramesPerSecond", Json(int64_t{480}))
        .set("statistics.rxFramesPerSecond", Json(int64_t{1100}));
    kv::sim::Host& host = machine.install();
    SelectedAdapter services;
    MeasuredPage page(services);
    page.createWindow();
    page.show();
    page.onSetActive();
    const bool forced = state.range(0) != 0;
    int64_t refreshes = 0;
    for (auto _ : state) {
        // Half a second of traffic, so that every counter row is written again.
        host.clock().advance(500);
        page.onTimer(forced ? MeasuredPage::kForcedRefresh : MeasuredPage::kRefreshTimer);
        if (++refreshes % 1024 == 0) {
            state.PauseTiming();
            host.trace().clear();
            state.ResumeTiming();
        }
    }
    state.SetLabel(forced ? "forced (activation)" : "timer tick");
}
BENCHMARK(BM_StatisticsRefresh)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
