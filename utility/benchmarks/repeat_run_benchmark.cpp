// A Register-only Repeat run of the "Diagnostics" page in the main window, as fast as the
// simulated adapter answers: the passes a second, and what the process's resident size grows by
// per thousand passes once the run is going. The simulated host's trace keeps every request: it is
// emptied between iterations (and its size reported), so the growth left is the window's own —
// the closures a worker leaves waiting for the window, which must stay bounded.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <algorithm>
#include <fstream>
#include <string>

#include "app/page_table.h"
#include "framework/list_view.h"
#include "framework/ui_thread.h"
#include "kv/sim/host.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"

namespace {

namespace ctl = kv::diag::res::ctl;
using kv::diag::testing::DiagFixture;

constexpr int kPassesAnIteration = 1000;

// The resident size in kB (Linux: the "VmRSS:" line of /proc/self/status).
double residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string field; status >> field;) {
        if (field == "VmRSS:") {
            double kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

void repeatRun(benchmark::State& state) {
    kv::sim::testing::MachineBuilder machine;
    machine.addAdapter(0x4450);
    DiagFixture fx(std::move(machine), QMessageBox::Ok);
    fx.start(kv::diag::testing::testEnvironment(), kv::diag::allPagesTable());
    fx.activatePage(QStringLiteral("Diagnostics"));
    int passes = 0;
    auto* edit = fx.control<QPlainTextEdit>(ctl::kDiagnosticsLog);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, &passes] {
        passes += edit->toPlainText().startsWith(QStringLiteral("Testing on ")) ? 1 : 0;
    });
    fx.control<kv::ui::ListView>(ctl::kDiagnosticsList)->setChecked(0, true);  // "Register"
    fx.control<QAbstractButton>(ctl::kDiagnosticsRepeat)->click();
    fx.control<QAbstractButton>(ctl::kDiagnosticsStart)->click();
    // The first thousand passes settle the allocations a run makes once.
    DiagFixture::deliverPostedUntil([&passes] { return passes >= kPassesAnIteration; });
    kv::sim::Host::Call(kv::sim::Host::get()).host.trace().clear();
    const double startKb = residentKb();
    const int startPasses = passes;
    size_t mostWaiting = 0;
    double traceBytes = 0;
    for (auto _ : state) {
        const int target = passes + kPassesAnIteration;
        DiagFixture::deliverPostedUntil([&] {
            mostWaiting = std::max(mostWaiting, kv::ui::pendingUiCalls());
            return passes >= target;
        });
        state.PauseTiming();
        {
            kv::sim::Host::Call call(kv::sim::Host::get());
            for (const std::string& line : call.host.trace().lines()) traceBytes += line.size();
            call.host.trace().clear();
        }
        state.ResumeTiming();
    }
    const double grownKb = residentKb() - startKb;
    const int made = passes - startPasses;
    fx.control<QAbstractButton>(ctl::kDiagnosticsStop)->click();
    fx.finishWatchedWorker();
    state.counters["passes"] = benchmark::Counter(made, benchmark::Counter::kIsRate);
    state.counters["kB_per_1000_passes"] = grownKb * kPassesAnIteration / std::max(made, 1);
    state.counters["most_waiting"] = static_cast<double>(mostWaiting);
    // What the host's own trace would have grown by, had it not been emptied.
    state.counters["trace_kB_per_1000_passes"] = traceBytes / 1024.0 * kPassesAnIteration / std::max(made, 1);
}
BENCHMARK(repeatRun)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
