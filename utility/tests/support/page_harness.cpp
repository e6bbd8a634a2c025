#include "support/page_harness.h"

#include <cstring>
#include <utility>

#include "framework/list_view.h"
#include "framework/window_timers.h"
#include "kelvalib.h"

namespace kv::diag::testing {

PageHarness::PageHarness(kv::sim::testing::MachineBuilder machine)
    : machine_(std::move(machine)),
      adapterList_(std::make_unique<AdapterList_A>()),
      driverInfo_(std::make_unique<DriverInfo_A>()) {
    std::memset(adapterList_.get(), 0, sizeof(AdapterList_A));
    std::memset(driverInfo_.get(), 0, sizeof(DriverInfo_A));
    machine_.install();
    ui::TimerClock::setMode(ui::TimerClock::Mode::Virtual);
    ui::TimerClock::setTimePasser([](uint32_t ms) { kv::sim::Host::get().passTime(ms); });
}

PageHarness::~PageHarness() {
    page_.reset();
    API_Close();
}

bool PageHarness::selectAdapter(int index) {
    API_Close();
    if (API_Open() != 1 || API_GetAdapterList_A(adapterList_.get()) != 1) return false;
    if (API_SetCurrAdaptIdx(index) != 1) return false;
    selected_ = index;
    API_GetAdapterInfo(&adapterInfo_);
    if (API_GetDriverInfo_A(driverInfo_.get()) != 1) std::memset(driverInfo_.get(), 0, sizeof(DriverInfo_A));
    ready_ = 1;
    return true;
}

void PageHarness::adopt(std::unique_ptr<ui::PropertyPage> page) {
    page_ = std::move(page);
    page_->createWindow();
    page_->resize(page_->templateSize());
    page_->show();
}

QStringList listRows(const ui::ListView& list) {
    QStringList rows;
    for (int r = 0; r < list.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c) cells << list.itemText(r, c);
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

void PageHarness::watchWorker(ui::WorkerHandle worker, bool refreshAfter, bool disableActivePage) {
    if (!worker) return;
    watch_.worker = std::move(worker);
    watch_.refreshAfter = refreshAfter;
    watch_.disableActivePage = disableActivePage;
    ++watch_.started;
}

void PageHarness::endWorkerWatch() {
    if (!watch_.worker) return;
    watch_.worker.reset();
    ++watch_.endedAtOnce;
}

}  // namespace kv::diag::testing
