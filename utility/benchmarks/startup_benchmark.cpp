// The utility's start: from the main window object's construction to a filled "General" page on
// the embedded default machine (settings, page table, window, library open, adapter list,
// selection of adapter 0, the General page's queries), offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <filesystem>

#include "app/diag_sheet.h"
#include "framework/list_view.h"
#include "framework/message_box.h"
#include "framework/window_timers.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "resources/resource_ids.h"

namespace {

void startToGeneralPage(benchmark::State& state) {
    kv::diag::SheetEnvironment environment;
    environment.screen = QSize(1280, 1024);
    for (auto _ : state) {
        kv::diag::CDiagSheet sheet(environment);
        sheet.createWindow();
        sheet.show();
        QCoreApplication::processEvents();
        const auto* general = kv::ui::findControl<kv::ui::ListView>(&sheet, kv::diag::res::ctl::kGeneralList);
        if (!general || general->rowCount() == 0) state.SkipWithError("the General page is empty");
        benchmark::DoNotOptimize(general);
        sheet.destroyWindow();
    }
}
BENCHMARK(startToGeneralPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const QTemporaryDir machine;
    kv::sim::writeDefaultMachine(std::filesystem::path(machine.path().toStdString()));
    qputenv("KELVA_MACHINE", machine.path().toLocal8Bit());
    // The virtual clock by default; KELVA_CLOCK=real measures with the library's waits.
    if (!qEnvironmentVariableIsSet("KELVA_CLOCK")) qputenv("KELVA_CLOCK", "virtual");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    kv::ui::QtMessageBoxes::install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kv::ui::QtMessageBoxes::uninstall();
    return 0;
}
