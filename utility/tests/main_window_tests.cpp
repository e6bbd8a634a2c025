// The main window on simulated machines: the adapter tree, the page set of each chip kind, the
// driver version number, the layout by screen width, the refresh, the worker watch and a failed
// selection — read by control ids, the pages in the sheet and the trace.
#include <QContextMenuEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

#include "app/adapter_tree.h"
#include "app/diag_sheet.h"
#include "app/nics_menu.h"
#include "app/report_saver.h"
#include "framework/menu_template.h"
#include "framework/tree_control.h"
#include "framework/window_timers.h"
#include "framework/worker_thread.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/main_window_pages.h"

using namespace kv::diag;
using namespace kv::diag::testing;
using kv::sim::testing::MachineBuilder;

namespace {

// The driver key of adapter `index` with that version, as the class key holds it.
std::string driverKey(size_t index, const std::string& version) {
    char key[8];
    std::snprintf(key, sizeof key, "%04zu", index);
    return std::string(
               "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
               "{4D36E972-E325-11CE-BFC1-08002BE10318}\\") +
           key + "]\r\n\"NetCfgInstanceId\"=\"" + MachineBuilder::guidOf(index) + "\"\r\n\"DriverDesc\"=\"Test\"\r\n" +
           "\"ProviderName\"=\"Tavrick\"\r\n\"DriverDate\"=\"1-1-2009\"\r\n\"InfPath\"=\"oem1.inf\"\r\n" +
           "\"DriverVersion\"=\"" + version + "\"\r\n";
}

MachineBuilder adapters(std::initializer_list<uint16_t> deviceIds) {
    MachineBuilder machine;
    for (uint16_t id : deviceIds) machine.addAdapter(id);
    return machine;
}

// The trees, the active page and Close are the user's again, and the watch's poll has stopped.
void verifyUserActionsBack(DiagFixture& fx) {
    CDiagSheet& sheet = fx.sheet();
    QVERIFY(sheet.uiEnabled());
    QVERIFY(sheet.adapterTree()->isEnabled());
    QVERIFY(sheet.PageTreeCtrl()->isEnabled());
    QVERIFY(fx.activePage()->isEnabled());
    QVERIFY(sheet.isCloseEnabled());
    QVERIFY(!sheet.timers().isRunning(timer::kWorkerWatch));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void noAdapterGivesAnEmptyTreeAndGeneralAlone() {
        DiagFixture fx(MachineBuilder{}, QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(fx.control<AdapterTree>(kAdapterTreeId));
        QCOMPARE(fx.adapterItems(), QStringList{});
        QCOMPARE(fx.pageTitles(), QStringList{"General"});
        QCOMPARE(sheet.selectedAdapterIndex(), -1);
        QCOMPARE(sheet.adapterReady(), 1);
    }

    void withoutTheDriverTheLibraryStaysClosed() {
        MachineBuilder machine = adapters({0x4450});
        machine.set("protocolDriver.installed", kv::sim::Json(false));
        DiagFixture fx(machine, QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QCOMPARE(fx.adapterItems(), QStringList{});
        QCOMPARE(fx.pageTitles(), QStringList{"General"});
        QVERIFY(!sheet.libraryOpen());
        QVERIFY(!sheet.timers().isRunning(timer::kHiddenStart));
    }

    void linesAtTheRootOnlyWithTwoOrMoreAdapters_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("lines");
        QTest::newRow("one") << 1 << false;
        QTest::newRow("two") << 2 << true;
        QTest::newRow("three") << 3 << true;
    }
    void linesAtTheRootOnlyWithTwoOrMoreAdapters() {
        QFETCH(int, count);
        QFETCH(bool, lines);
        MachineBuilder machine;
        for (int i = 0; i < count; ++i) machine.addAdapter(0x4450);
        DiagFixture fx(machine, QMessageBox::Ok);
        fx.start(testEnvironment(), hookedPageTable());
        AdapterTree* tree = fx.control<AdapterTree>(kAdapterTreeId);
        QCOMPARE(tree->topLevelItemCount(), count);
        QCOMPARE(tree->rootIsDecorated(), lines);
        QCOMPARE(AdapterTree::adapterIndexOf(tree->currentItem()), 0);
    }

    void pageSetFollowsTheChipKind_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<QString>("register43");
        QTest::addColumn<QStringList>("pages");
        QTest::newRow("flags 0 (another maker's chip)") << 0x1039 << "" << QStringList{"General"};
        QTest::newRow("flag 0x02 (4420)") << 0x4420 << "" << QStringList{"General", "Driver"};
        QTest::newRow("flag 0x08 (4450)") << 0x4450 << "" << QStringList{"General", "Driver", "Cable"};
        QTest::newRow("flag 0x04 with byte 0x3C") << 0x4440 << "0x3C" << QStringList{"General", "Driver", "Cable"};
        QTest::newRow("flag 0x04 otherwise") << 0x4410 << "0x10" << QStringList{"General", "Driver", "Cable"};
    }
    void pageSetFollowsTheChipKind() {
        QFETCH(int, deviceId);
        QFETCH(QString, register43);
        QFETCH(QStringList, pages);
        MachineBuilder machine;
        auto& adapter = machine.addAdapter(static_cast<uint16_t>(deviceId));
        if (!register43.isEmpty()) adapter.set("registers.0x43", kv::sim::Json(register43.toStdString()));
        DiagFixture fx(machine, QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QCOMPARE(fx.pageTitles(), pages);
        QCOMPARE(sheet.selectedAdapterIndex(), 0);
        QCOMPARE(sheet.adapterReady(), 1);
        QCOMPARE(fx.activePage()->caption(), QStringLiteral("General"));
        // The page tree mirrors the sheet.
        QCOMPARE(sheet.PageTreeCtrl()->topLevelItemCount(), pages.size());
    }

    void driverVersionNumberOfTheSelectedAdapter_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<QString>("version");  // empty: the driver key has none
        QTest::addColumn<int>("number");
        QTest::newRow("5.611.0.0") << 0x4450 << "5.611.0.0" << 611;
        QTest::newRow("none on a 0x08 chip") << 0x4450 << "" << 601;
        QTest::newRow("another maker's chip") << 0x1039 << "5.611.0.0" << -1;
    }
    void driverVersionNumberOfTheSelectedAdapter() {
        QFETCH(int, deviceId);
        QFETCH(QString, version);
        QFETCH(int, number);
        MachineBuilder machine;
        machine.addAdapter(static_cast<uint16_t>(deviceId));
        if (!version.isEmpty()) machine.registry(driverKey(0, version.toStdString()));
        DiagFixture fx(machine, QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QCOMPARE(sheet.driverVersionNumber(), number);
        QCOMPARE(QString::fromLatin1(sheet.driverInfo().DriverVersion), version);
    }

    void aDriverWithoutVersionDoesNotShowThePreviousAdaptersVersion() {
        MachineBuilder machine = adapters({0x4450, 0x4450});
        machine.registry(driverKey(0, "5.611.0.0"));
        DiagFixture fx(machine, QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QCOMPARE(sheet.driverVersionNumber(), 611);
        QVERIFY(fx.selectAdapter(1));
        QCOMPARE(QString::fromLatin1(sheet.driverInfo().DriverVersion), QString());
        QCOMPARE(sheet.driverVersionNumber(), 601);
    }

    void layoutByScreenWidth() {
        MachineBuilder machine = adapters({0x4450});
        const auto layout = [&](int screenWidth) {
            DiagFixture fx(machine, QMessageBox::Ok);
            SheetEnvironment environment = testEnvironment();
            environment.screen = QSize(screenWidth, 600);
            CDiagSheet& sheet = fx.start(environment, hookedPageTable());
            const QRect nic = sheet.adapterTree()->geometry();
            const QRect pages = sheet.PageTreeCtrl()->geometry();
            return std::tuple{sheet.adapterTreeWidth(), sheet.smallScreenLayout(), nic, pages, sheet.width()};
        };
        const auto [wideTree, wideSmall, wideNic, widePages, wideWidth] = layout(1280);
        const auto [narrowTree, narrowSmall, narrowNic, narrowPages, narrowWidth] = layout(1000);
        const auto [smallTree, smallSmall, smallNic, smallPages, smallWidth] = layout(790);

        QCOMPARE(wideTree, 150);
        QVERIFY(!wideSmall);
        QCOMPARE(wideNic.width(), 145);
        QVERIFY(wideNic.right() < widePages.left());  // adapter tree, then page tree

        QCOMPARE(narrowTree, 120);
        QCOMPARE(narrowNic.width(), 115);
        QCOMPARE(narrowPages.width(), 115);
        QCOMPARE(wideWidth - narrowWidth, 2 * 30);  // both trees 30 pixels narrower

        QVERIFY(smallSmall);
        QCOMPARE(smallNic.left(), smallPages.left());  // one column, adapter tree on top
        QVERIFY(smallNic.bottom() < smallPages.top());
        QCOMPARE(narrowWidth - smallWidth, 120);  // the window is not widened for the adapter tree
    }

    void refreshReselectsTheCurrentAdapter() {
        DiagFixture fx(adapters({0x4450, 0x4420}), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(fx.selectAdapter(1));
        QCOMPARE(sheet.selectedAdapterIndex(), 1);
        QCOMPARE(fx.pageTitles(), (QStringList{"General", "Driver"}));
        sheet.runCommand(res::kCmdRefreshNicList);
        QCOMPARE(sheet.selectedAdapterIndex(), 0);
        QCOMPARE(AdapterTree::adapterIndexOf(sheet.adapterTree()->currentItem()), 0);
        QCOMPARE(fx.pageTitles(), (QStringList{"General", "Driver", "Cable"}));
    }

    void userActionsComeBackAtTheFirstWatchTickAfterTheWorkerEnded() {
        DiagFixture fx(adapters({0x4450}), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        kv::ui::WorkerHandle worker = kv::ui::WorkerThread::start([] { return 0u; });
        worker->join();
        sheet.watchWorker(worker, false, true);
        QVERIFY(!sheet.uiEnabled());
        QVERIFY(!sheet.adapterTree()->isEnabled());
        QVERIFY(!sheet.PageTreeCtrl()->isEnabled());
        QVERIFY(!fx.activePage()->isEnabled());
        QVERIFY(!sheet.isCloseEnabled());
        fx.advance(4999);
        QVERIFY(!sheet.uiEnabled());
        fx.advance(1);
        verifyUserActionsBack(fx);
    }

    void aWatchedWorkerMayAskForTheRefresh() {
        DiagFixture fx(adapters({0x4450, 0x4450}), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(fx.selectAdapter(1));
        kv::ui::WorkerHandle worker = kv::ui::WorkerThread::start([] { return 0u; });
        worker->join();
        sheet.watchWorker(worker, true, false);
        QVERIFY(fx.activePage()->isEnabled());
        fx.advance(5000);
        QCOMPARE(sheet.selectedAdapterIndex(), 0);
        sheet.watchWorker(nullptr, true, true);  // ignored
        QVERIFY(sheet.uiEnabled());
    }

    void aPageMayEndTheWatchAtOnce() {
        DiagFixture fx(adapters({0x4450, 0x4450}), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(fx.selectAdapter(1));
        std::atomic<bool> release{false};
        kv::ui::WorkerHandle worker = kv::ui::WorkerThread::start([&release] {
            while (!release) std::this_thread::yield();
            return 0u;
        });
        sheet.watchWorker(worker, true, true);
        QVERIFY(!sheet.uiEnabled());
        sheet.endWorkerWatch();  // the worker still runs
        verifyUserActionsBack(fx);
        fx.advance(5000);
        QCOMPARE(sheet.selectedAdapterIndex(), 1);  // no refresh follows a watch ended this way
        sheet.endWorkerWatch();                     // none is watched: nothing happens
        QVERIFY(sheet.uiEnabled());
        release = true;
        worker->join();
    }

    void aRefreshAskedForDuringAPageTreeChangeWaitsForTheNextTick() {
        DiagFixture fx(adapters({0x4450, 0x4450}), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(fx.selectAdapter(1));
        auto* driver = static_cast<HookedPage*>(sheet.tablePages()[1]);
        int selectedDuringChange = -2;
        driver->onActivation = [&] {
            sheet.requestAdapterListRefresh();
            kv::ui::TimerClock::advance(100);  // the tick falls inside the page tree's change
            selectedDuringChange = sheet.selectedAdapterIndex();
        };
        fx.activatePage("Driver");
        driver->onActivation = nullptr;
        QCOMPARE(selectedDuringChange, 1);
        QVERIFY(sheet.timers().isRunning(timer::kRefresh));
        fx.advance(100);
        QCOMPARE(sheet.selectedAdapterIndex(), 0);
        QVERIFY(!sheet.timers().isRunning(timer::kRefresh));
    }

    void aFailedSelectionRebuildsTheList100MsLater() {
        MachineBuilder machine = adapters({0x4450, 0x4450});
        kv::sim::Json failing = kv::sim::Json::array();
        failing.push_back(kv::sim::Json("0x01010102"));  // the MAC address query
        machine.adapter(1).fault("failingOids", failing);
        DiagFixture fx(machine, QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(fx.selectAdapter(1));
        QCOMPARE(sheet.adapterReady(), 0);
        QCOMPARE(sheet.timers().period(timer::kRefresh), 100u);
        fx.advance(99);
        QCOMPARE(sheet.adapterReady(), 0);
        fx.advance(1);
        QCOMPARE(sheet.selectedAdapterIndex(), 0);
        QCOMPARE(sheet.adapterReady(), 1);
        QVERIFY(!sheet.timers().isRunning(timer::kRefresh));
    }

    void destructionRemovesTheTrayIconAndClosesTheLibrary() {
        DiagFixture fx(adapters({0x4450}), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(sheet.libraryOpen());
        fx.stop();
        QCOMPARE(API_IsPlug(), 0);
    }

    // The adapter tree's menu writes the selected adapter's support report where the user says.
    void saveReportWritesTheSelectedAdaptersReport() {
        DiagFixture fx(MachineBuilder::defaultMachine(), QMessageBox::Ok);
        CDiagSheet& sheet = fx.start(testEnvironment(), hookedPageTable());
        QVERIFY(fx.selectAdapter(1));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("report.txt"));
        setSaveFileChooser([&](QWidget*, const QString&) { return path; });
        bool offered = false;
        setPopupPresenter([&](QMenu& menu) {
            const QAction* save = kv::ui::findCommand(menu, res::kCmdSaveReport);
            offered = save && save->isEnabled() && save->text() == QStringLiteral("Save &Report...");
            return res::kCmdSaveReport;
        });
        const QPoint inTree = sheet.adapterTree()->rect().center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, sheet.mapFromGlobal(sheet.adapterTree()->mapToGlobal(inTree)),
                                sheet.adapterTree()->mapToGlobal(inTree));
        QApplication::sendEvent(&sheet, &click);
        setPopupPresenter(nullptr);
        setSaveFileChooser(nullptr);
        QVERIFY(offered);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString report = QString::fromUtf8(file.readAll());
        QVERIFY(report.startsWith(QStringLiteral("Kelvadiag support report\n")));
        QVERIFY(report.contains(QStringLiteral("\nAdapter 1: Tavrick PCI Fast Ethernet Adapter 4420\n  MAC Address")));
        QVERIFY(!report.contains(QStringLiteral("\nAdapter 0:")));
        QCOMPARE(sheet.selectedAdapterIndex(), 1);
        QVERIFY(fx.traced("msgbox").empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_tests.moc"
