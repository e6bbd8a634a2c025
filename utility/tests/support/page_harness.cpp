#include "support/page_harness.h"

#include <QCoreApplication>
#include <cstring>
#include <optional>
#include <utility>

#include "framework/list_view.h"
#include "framework/window_timers.h"
#include "framework/worker_thread.h"

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
    // A worker still winding down holds the library; it may still hand the window a last text.
    if (watch_.worker) {
        while (!watch_.worker->hasEnded()) QCoreApplication::processEvents();
    }
    session().close();
}

bool PageHarness::selectAdapter(int index) {
    const std::optional<AdapterList_A> list = session().reopen();
    if (!list) return false;
    *adapterList_ = *list;
    if (!session_.select(index)) return false;
    selected_ = index;
    adapterInfo_ = session_.adapterInfo().value_or(AdapterInfo{});
    *driverInfo_ = session_.driverInfo().value_or(DriverInfo_A{});
    ready_ = 1;
    return true;
}

AdapterSession& PageHarness::session() {
    if (watch_.worker && watch_.worker->hasEnded()) {
        watch_.worker.reset();
        session_.takeBack();
    }
    return session_;
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
    session_.lendTo(worker->id());
    watch_.worker = std::move(worker);
    watch_.refreshAfter = refreshAfter;
    watch_.disableActivePage = disableActivePage;
    ++watch_.started;
}

void PageHarness::endWorkerWatch() {
    if (!watch_.worker) return;
    session_.takeBack();
    watch_.worker.reset();
    ++watch_.endedAtOnce;
}

}  // namespace kv::diag::testing
