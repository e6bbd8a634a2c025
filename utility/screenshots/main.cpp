// kelvadiag_screenshots: regenerates the pictures in docs/ from the embedded default machine,
// offscreen and on the virtual clock — the main window, then every page of the sheet for every
// adapter. A page joins the pictures by joining the page table; a page that turns the adapter away
// (the VLAN page, for a driver before version number 611) gets no picture of it. Then the scenes
// the default machine does not show as it is: the "Diagnostics" page after a run, and the 4450's
// VLANs with its driver raised to 5.611.
//
// Usage: kelvadiag_screenshots <output folder> [picture...] [-platform <plugin>]
// With picture names ("kelvadiag", "general-adapter0"), only those pictures are written. The
// platform plugin is the offscreen one unless -platform names another (under wine: windows, for
// the pictures of the Windows look).
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/adapter_tree.h"
#include "app/diag_sheet.h"
#include "app/page_table.h"
#include "framework/list_view.h"
#include "framework/message_box.h"
#include "framework/property_page.h"
#include "framework/tree_control.h"
#include "framework/window_timers.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "pages/diagnostics_page.h"
#include "pages/send_receive_page.h"
#include "resources/resource_ids.h"

namespace {

using kv::diag::AdapterTree;
using kv::diag::CDiagSheet;

// How long a page is given after its activation: the pages that wait for the adapter (the cable
// analysis) have finished by then.
constexpr uint32_t kPageSettleMs = 3000;
// The worker watch's period: the window is given back after a page's worker within it.
constexpr uint32_t kWorkerWatchMs = 5000;

void settle(uint32_t ms) {
    QCoreApplication::sendPostedEvents();
    kv::ui::TimerClock::advance(ms);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// The pictures asked for on the command line; empty for all of them.
QSet<QString>& wantedPictures() {
    static QSet<QString> names;
    return names;
}

bool save(QWidget& window, const QDir& folder, const QString& name) {
    if (!wantedPictures().isEmpty() && !wantedPictures().contains(name)) return true;
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "kelvadiag_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Ticks every test of the "Diagnostics" page and runs them once; the worker watch gives the
// window back at its next tick.
void runAllDiagnostics(kv::diag::CDiagnosticsPage& page) {
    namespace ctl = kv::diag::res::ctl;
    auto* list = page.control<kv::ui::ListView>(ctl::kDiagnosticsList);
    auto* start = page.control<QAbstractButton>(ctl::kDiagnosticsStart);
    if (!list || !start) return;
    for (int row = 0; row < list->rowCount(); ++row) list->setChecked(row, true);
    start->click();
    const kv::ui::WorkerHandle worker = page.worker();
    while (worker && !worker->hasEnded()) QCoreApplication::processEvents();
    settle(kWorkerWatchMs);
}

// "General" for adapter 0 -> "general-adapter0".
QString fileName(const QString& page, int adapter) {
    QString stem = page.toLower();
    stem.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
    return QStringLiteral("%1-adapter%2").arg(stem).arg(adapter);
}

// The default machine with the 4450's driver at 5.611, the first that carries VLANs.
bool installVlanMachine(const QTemporaryDir& directory) {
    const std::filesystem::path path(directory.path().toStdString());
    kv::sim::writeDefaultMachine(path);
    std::ofstream reg(path / "registry.reg", std::ios::binary | std::ios::app);
    reg << "\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
           "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0000]\r\n\"DriverVersion\"=\"5.611.0.0\"\r\n";
    if (!reg) return false;
    reg.close();
    kv::sim::Host::get().install(kv::sim::loadMachineDirectory(path), kv::sim::SimClock::Mode::Virtual);
    return true;
}

// A screen that holds the whole window.
kv::diag::SheetEnvironment screenEnvironment() {
    kv::diag::SheetEnvironment environment;
    environment.screen = QSize(1280, 1024);
    return environment;
}

void showWindow(CDiagSheet& sheet) {
    sheet.createWindow();
    sheet.show();
    settle(kPageSettleMs);
}

// The VLAN page of adapter 0 (the 4450 and its two VLANs).
bool saveVlanScene(const QDir& folder) {
    const QTemporaryDir machine;
    if (!machine.isValid() || !installVlanMachine(machine)) {
        std::fprintf(stderr, "kelvadiag_screenshots: no machine for the VLAN scene\n");
        return false;
    }
    CDiagSheet sheet(screenEnvironment(), kv::diag::allPagesTable());
    showWindow(sheet);
    bool saved = false;
    for (int i = 0; i < sheet.pageCount(); ++i) {
        if (sheet.page(i)->templateId() != kv::diag::res::kDialogVlan) continue;
        sheet.setActivePage(i);
        settle(kPageSettleMs);
        saved = sheet.activePage() == sheet.page(i) && save(sheet, folder, fileName(sheet.page(i)->caption(), 0));
    }
    sheet.destroyWindow();
    return saved;
}

void click(QWidget& window, int id) {
    if (auto* button = kv::ui::findControl<QAbstractButton>(&window, id)) button->click();
}

// The Send and Receive page with a test running on adapter 0 (the Responder waiting for its
// Initiator), then stopped; its worker has ended before the window goes.
bool saveRunningSendReceive(CDiagSheet& sheet, const QDir& folder) {
    namespace ctl = kv::diag::res::ctl;
    if (QTreeWidgetItem* item = sheet.adapterTree()->findAdapter(0)) sheet.adapterTree()->setCurrentItem(item);
    settle(kPageSettleMs);
    for (int i = 0; i < sheet.pageCount(); ++i) {
        auto* page = dynamic_cast<kv::diag::CBcstTRxPage*>(sheet.page(i));
        if (!page) continue;
        sheet.setActivePage(i);
        settle(kPageSettleMs);
        click(*page, ctl::kSendReceiveResponder);
        click(*page, ctl::kSendReceiveStart);
        settle(kPageSettleMs);
        const bool saved = save(sheet, folder, fileName(page->caption() + " running", 0));
        click(*page, ctl::kSendReceiveStop);
        while (page->link() && !page->link()->workerEnded()) QCoreApplication::processEvents();
        settle(kPageSettleMs);
        return saved;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kelvadiag_screenshots <output folder> [picture...]\n");
        return 2;
    }
    // A fresh default machine of its own, on the virtual clock, offscreen: the same pictures on
    // every run, whatever the user's own machine directory holds.
    const QTemporaryDir machine;
    if (!machine.isValid()) {
        std::fprintf(stderr, "kelvadiag_screenshots: no temporary folder for the machine\n");
        return 1;
    }
    kv::sim::writeDefaultMachine(std::filesystem::path(machine.path().toStdString()));
    qputenv("KELVA_MACHINE", machine.path().toLocal8Bit());
    qputenv("KELVA_CLOCK", "virtual");
    qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);  // takes -platform out of the arguments
    for (int i = 2; i < argc; ++i) wantedPictures().insert(QString::fromLocal8Bit(argv[i]));
    kv::ui::QtMessageBoxes::install();
    kv::ui::QtMessageBoxes::setAnswerer([](QMessageBox& box) {
        return box.defaultButton() ? box.standardButton(box.defaultButton()) : QMessageBox::Ok;
    });
    // Absolute now: the window makes the installation folder the current directory.
    const QDir folder(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    folder.mkpath(QStringLiteral("."));

    int failures = 0;
    {
        // Every page of the utility, the "all pages" mode's too.
        CDiagSheet sheet(screenEnvironment(), kv::diag::allPagesTable());
        showWindow(sheet);
        if (!save(sheet, folder, QStringLiteral("kelvadiag"))) ++failures;

        AdapterTree* tree = sheet.adapterTree();
        const int adapters = static_cast<int>(sheet.adapterList().Count);
        for (int adapter = 0; tree && adapter < adapters; ++adapter) {
            if (QTreeWidgetItem* item = tree->findAdapter(adapter)) tree->setCurrentItem(item);
            settle(kPageSettleMs);
            for (int i = 0; i < sheet.pageCount(); ++i) {
                sheet.setActivePage(i);
                settle(kPageSettleMs);
                if (sheet.activePage() != sheet.page(i)) continue;  // the page turned the adapter away
                if (!save(sheet, folder, fileName(sheet.page(i)->caption(), adapter))) ++failures;
            }
        }
        if (tree && !saveRunningSendReceive(sheet, folder)) ++failures;
        // Last, as the run reloads the adapter's driver: the page with counts and a verdict.
        if (QTreeWidgetItem* item = tree ? tree->findAdapter(0) : nullptr) tree->setCurrentItem(item);
        settle(kPageSettleMs);
        for (int i = 0; i < sheet.pageCount(); ++i) {
            auto* diagnostics = qobject_cast<kv::diag::CDiagnosticsPage*>(sheet.page(i));
            if (!diagnostics) continue;
            sheet.setActivePage(i);
            settle(kPageSettleMs);
            runAllDiagnostics(*diagnostics);
            if (!save(sheet, folder, QStringLiteral("diagnostics-run-adapter0"))) ++failures;
        }
        sheet.destroyWindow();
    }
    if (!saveVlanScene(folder)) ++failures;
    kv::ui::QtMessageBoxes::uninstall();
    return failures == 0 ? 0 : 1;
}
