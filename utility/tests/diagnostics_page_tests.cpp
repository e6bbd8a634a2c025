// The "Diagnostics" page on the real main window: the tests listed for the adapter kind, runs on
// the worker thread with their counts, log and verdict, "Stop Test" and "Repeat", the unbinding
// on the older systems, a flooded receive queue, an adapter gone at a pass start, the worker
// watch, and a page destroyed while its worker runs.
#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QtTest>
#include <algorithm>
#include <functional>

#include "app/adapter_tree.h"
#include "app/diag_sheet.h"
#include "app/page_table.h"
#include "framework/list_view.h"
#include "framework/tree_control.h"
#include "framework/ui_thread.h"
#include "framework/window_timers.h"
#include "pages/diagnostics_page.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/page_harness.h"

using kv::sim::Json;
using kv::sim::testing::AdapterBuilder;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;
namespace ui = kv::ui;
namespace ctl = kv::diag::res::ctl;

namespace {

const QString kNoErrors = QStringLiteral("No hardware errors occur.\r\n");
const QString kErrors = QStringLiteral("Hardware errors occur, try again please.\r\n");
const QString kNotReady = QStringLiteral("This adapter is not yet ready for the test, please try it again later.");
const QString kUnbinding = QStringLiteral("Unbinding protocols Please wait...");
const QString kBinding = QStringLiteral("binding protocols Please wait...");
const QString kReloading = QStringLiteral("Reloading driver.  Please wait...");
// The library's box when the EEPROM test's request fails.
const QString kEepromTestBox = QStringLiteral("EEPROM test  error");
const QStringList kFullList = {"Register | 0 | 0",     "EEPROM | 0 | 0", "MAC Loopback | 0 | 0",
                               "PHY Loopback | 0 | 0", "IRQ | 0 | 0",    "FIFO | 0 | 0"};

using Shape = std::function<void(AdapterBuilder&)>;

// One adapter of the family on Windows major.minor (6.0 unless told), shaped by `shape`.
MachineBuilder oneAdapter(uint16_t deviceId, const Shape& shape = {}, int major = 6, int minor = 0) {
    MachineBuilder machine;
    AdapterBuilder& adapter = machine.addAdapter(deviceId);
    if (shape) shape(adapter);
    machine.set("os.major", Json(int64_t{major})).set("os.minor", Json(int64_t{minor}));
    // The older systems' protocol driver runs as the utility's start leaves it.
    if (major == 5) machine.set("protocolDriver.running", Json(true));
    return machine;
}

Json ids(std::initializer_list<const char*> list) {
    Json a = Json::array();
    for (const char* id : list) a.push_back(Json(id));
    return a;
}

// The main window with the "Diagnostics" page active, and every text its edit showed.
class DiagnosticsWindow {
public:
    explicit DiagnosticsWindow(MachineBuilder machine, kv::sim::SimClock::Mode clock = kv::sim::SimClock::Mode::Virtual)
        : fx(std::move(machine), QMessageBox::Ok, clock) {
        fx.start(testEnvironment(), allPagesTable());
        page = qobject_cast<CDiagnosticsPage*>(fx.activatePage(QStringLiteral("Diagnostics")));
        QPlainTextEdit* edit = fx.control<QPlainTextEdit>(ctl::kDiagnosticsLog);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, edit] { shown << edit->toPlainText(); });
    }

    ui::ListView& list() const { return *fx.control<ui::ListView>(ctl::kDiagnosticsList); }
    QAbstractButton& button(int id) const { return *fx.control<QAbstractButton>(id); }
    void tick(const QStringList& names) {
        for (int row = 0; row < list().rowCount(); ++row)
            if (names.contains(list().itemText(row, 0))) list().setChecked(row, true);
    }
    bool workerEnded() const { return page->worker() && page->worker()->hasEnded(); }
    // Clicks "Start Test" and lets the run go to its end.
    bool run() {
        button(ctl::kDiagnosticsStart).click();
        return DiagFixture::deliverPostedUntil([this] { return workerEnded(); });
    }
    QStringList rows() const { return fx.listRows(ctl::kDiagnosticsList); }
    QString log() const { return fx.sheet().activePage()->controlText(ctl::kDiagnosticsLog); }
    int timesShown(const QString& text) const { return static_cast<int>(shown.count(text)); }
    bool buttonsBack() const {
        return button(ctl::kDiagnosticsStart).isEnabled() && button(ctl::kDiagnosticsStop).isEnabled();
    }

    DiagFixture fx;
    CDiagnosticsPage* page = nullptr;
    QStringList shown;
};

}  // namespace

class DiagnosticsPageTest : public QObject {
    Q_OBJECT

private slots:
    void theListFollowsTheChipKind_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("4420 class") << 0x4420 << QStringList{"Register | 0 | 0", "EEPROM | 0 | 0", "Loopback | 0 | 0"};
        QTest::newRow("4450") << 0x4450 << kFullList;
    }
    void theListFollowsTheChipKind() {
        QFETCH(int, deviceId);
        QFETCH(QStringList, rows);
        DiagnosticsWindow w(oneAdapter(static_cast<uint16_t>(deviceId)));
        QVERIFY(w.page);
        QCOMPARE(w.rows(), rows);
        ui::ListView& list = w.list();
        QVERIFY(list.hasCheckBoxes());
        QVERIFY(list.hasFullRowSelect());
        QCOMPARE(list.headerItem()->text(0), QStringLiteral("Test Item"));
        QCOMPARE(list.headerItem()->text(2), QStringLiteral("Fail"));
        QCOMPARE(list.columnWidth(0), list.clientWidth() * 5 / 9);
        QCOMPARE(list.infoTip(0), QStringLiteral("Test the read and write operations on registers."));
        for (int row = 0; row < list.rowCount(); ++row) QVERIFY(!list.isChecked(row));
    }

    void verdictsFollowTheFailures_data() {
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QStringList>("failingAnswers");
        QTest::addColumn<QStringList>("firstRows");
        QTest::addColumn<QString>("log");
        QTest::newRow("nothing ticked") << QStringList{} << QStringList{}
                                        << QStringList{"Register | 0 | 0", "EEPROM | 0 | 0"} << kNoErrors;
        QTest::newRow("all pass") << QStringList{"Register", "EEPROM"} << QStringList{}
                                  << QStringList{"Register | 1 | 0", "EEPROM | 1 | 0"} << kNoErrors;
        QTest::newRow("one fails")
            << QStringList{"Register", "EEPROM"} << QStringList{"macRegisterTestAnswer"}
            << QStringList{"Register | 0 | 1", "EEPROM | 1 | 0"}
            << QStringLiteral("Fail to access registers.\r\nAn hardware error occurs, try again please.\r\n");
        QTest::newRow("two fail") << QStringList{"Register", "EEPROM"}
                                  << QStringList{"macRegisterTestAnswer", "eepromTestAnswer"}
                                  << QStringList{"Register | 0 | 1", "EEPROM | 0 | 1"}
                                  << QStringLiteral(
                                         "Fail to access registers.\r\nFail to read or write on the "
                                         "EEPROM.\r\n") +
                                         kErrors;
    }
    void verdictsFollowTheFailures() {
        QFETCH(QStringList, ticked);
        QFETCH(QStringList, failingAnswers);
        QFETCH(QStringList, firstRows);
        QFETCH(QString, log);
        DiagnosticsWindow w(oneAdapter(0x4450, [&](AdapterBuilder& a) {
            for (const QString& fault : failingAnswers) a.fault(fault.toStdString(), Json(0));
        }));
        w.tick(ticked);
        kv::sim::Host::get().trace().clear();
        QVERIFY(w.run());
        QCOMPARE(w.rows().mid(0, 2), firstRows);
        QCOMPARE(w.log(), log);
        QVERIFY(w.buttonsBack());
        // The driver is reloaded whatever ran: the adapter's device is restarted.
        QVERIFY(!DiagFixture::traced("propchange").empty());
        QCOMPARE(w.timesShown(kReloading), 1);
        QCOMPARE(w.timesShown(kUnbinding), 0);
    }

    void repeatCountsEveryPassUntilStopped() {
        // The EEPROM test's request fails: the library says so in a box, and the test fails.
        DiagnosticsWindow w(oneAdapter(0x4450, [](AdapterBuilder& a) { a.fault("failingOids", ids({"0xFF442003"})); }));
        w.tick({"Register", "EEPROM"});
        w.button(ctl::kDiagnosticsRepeat).click();
        int boxes = 0;
        w.fx.whileBoxShown([&](const QString& text) {
            if (text == kEepromTestBox && ++boxes == 3) w.button(ctl::kDiagnosticsStop).click();
        });
        QVERIFY(w.run());
        QCOMPARE(w.rows().mid(0, 2), (QStringList{"Register | 3 | 0", "EEPROM | 0 | 3"}));
        // The log holds the failures of the last pass only, then the verdict of the run.
        QCOMPARE(w.log(), QStringLiteral("Fail to read or write on the EEPROM.\r\n") + kErrors);
        QCOMPARE(w.timesShown(QStringLiteral("Testing on Register Access. Please wait...")), 3);
        QVERIFY(w.buttonsBack());
    }

    void emptyPassesRepeatUntilStopped() {
        DiagnosticsWindow w(oneAdapter(0x4450));
        w.button(ctl::kDiagnosticsRepeat).click();
        w.button(ctl::kDiagnosticsStart).click();
        w.fx.deliverPosted();
        QVERIFY(!w.workerEnded());
        QVERIFY(!w.button(ctl::kDiagnosticsStart).isEnabled());
        w.button(ctl::kDiagnosticsStop).click();
        QVERIFY(DiagFixture::deliverPostedUntil([&] { return w.workerEnded(); }));
        QCOMPARE(w.log(), kNoErrors);
        QVERIFY(w.buttonsBack());
    }

    void stopEndsTheRunAfterTheTestThatRuns() {
        // Every PHY write fails with a box: the first one comes up during "PHY Loopback".
        DiagnosticsWindow w(oneAdapter(0x4450, [](AdapterBuilder& a) { a.fault("phyWriteError", Json(31)); }));
        w.tick({"Register", "MAC Loopback", "PHY Loopback", "IRQ"});
        kv::sim::Host::get().trace().clear();
        bool stopped = false;
        bool stopDisabled = false;
        w.fx.whileBoxShown([&](const QString& text) {
            if (!text.contains(QStringLiteral("PHY")) || std::exchange(stopped, true)) return;
            w.button(ctl::kDiagnosticsStop).click();
            stopDisabled = !w.button(ctl::kDiagnosticsStop).isEnabled();
        });
        QVERIFY(w.run());
        QVERIFY(stopped);
        QVERIFY(stopDisabled);
        // The driver-assisted loopback ran; the interrupt test did not.
        QCOMPARE(DiagFixture::traced("loopback").size(), size_t(2));
        QVERIFY(DiagFixture::traced("interrupt").empty());
        const QStringList rows = w.rows();
        QCOMPARE(rows.at(2), QStringLiteral("MAC Loopback | 1 | 0"));
        QVERIFY(rows.at(3) != QStringLiteral("PHY Loopback | 0 | 0"));
        QCOMPARE(rows.at(4), QStringLiteral("IRQ | 0 | 0"));
        QVERIFY(w.buttonsBack());
    }

    void protocolsAreUnboundOnceARunOnTheOlderSystems_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<int>("unbindings");
        QTest::newRow("6.0") << 6 << 0 << false << 0;
        QTest::newRow("6.0, three passes") << 6 << 0 << true << 0;
        QTest::newRow("5.0") << 5 << 0 << false << 0;
        QTest::newRow("5.1") << 5 << 1 << false << 1;
        QTest::newRow("5.2") << 5 << 2 << false << 1;
        QTest::newRow("5.1, three passes") << 5 << 1 << true << 1;
    }
    void protocolsAreUnboundOnceARunOnTheOlderSystems() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(bool, repeat);
        QFETCH(int, unbindings);
        DiagnosticsWindow w(oneAdapter(
            0x4450, [](AdapterBuilder& a) { a.fault("failingOids", ids({"0xFF442003"})); }, major, minor));
        w.tick({"EEPROM"});
        if (repeat) w.button(ctl::kDiagnosticsRepeat).click();
        int boxes = 0;
        w.fx.whileBoxShown([&](const QString& text) {
            if (text == kEepromTestBox && ++boxes == 3) w.button(ctl::kDiagnosticsStop).click();
        });
        QVERIFY(w.run());
        QCOMPARE(boxes, repeat ? 3 : 1);
        QCOMPARE(w.timesShown(kUnbinding), unbindings);
        QCOMPARE(w.timesShown(kBinding), unbindings);
        QCOMPARE(w.timesShown(kReloading), 1);
    }

    void aFloodedReceiveQueueLeavesNoRoomForTheTests_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("registerRow");
        QTest::addColumn<QString>("log");
        QTest::newRow("1000 waiting") << "frames.queued" << 1000 << "Register | 1 | 0" << kNoErrors;
        QTest::newRow("1001 waiting") << "frames.queued" << 1001 << "Register | 0 | 0" << kErrors;
        // A segment that never runs dry: the drain must not go on for ever.
        QTest::newRow("endless stream") << "faults.frameStream" << 1 << "Register | 0 | 0" << kErrors;
    }
    void aFloodedReceiveQueueLeavesNoRoomForTheTests() {
        QFETCH(QString, field);
        QFETCH(int, value);
        QFETCH(QString, registerRow);
        QFETCH(QString, log);
        const Json setting = field == "faults.frameStream" ? Json(true) : Json(int64_t{value});
        DiagnosticsWindow w(oneAdapter(
            0x4450, [&](AdapterBuilder& a) { a.set(field.toStdString(), setting); }, 5, 1));
        w.tick({"Register"});
        QVERIFY(w.run());
        QCOMPARE(w.rows().at(0), registerRow);
        QCOMPARE(w.log(), log);
        QCOMPARE(w.timesShown(kBinding), 1);
        QCOMPARE(w.timesShown(kReloading), 1);
    }

    void anAdapterGoneAtThePassStartEndsTheRun() {
        DiagnosticsWindow w(oneAdapter(0x4450));
        w.tick({"Register"});
        kv::sim::Host::get().machine().adapters.at(0)->present = false;
        kv::sim::Host::get().trace().clear();
        QVERIFY(w.run());
        QVERIFY(w.fx.boxTexts().contains(kNotReady));
        QCOMPARE(w.rows().at(0), QStringLiteral("Register | 0 | 0"));
        // Nothing was tested: the log says so instead of reporting no errors.
        QCOMPARE(w.log(), kNotReady + QStringLiteral("\r\n"));
        QCOMPARE(w.timesShown(kReloading), 1);
        QVERIFY(!DiagFixture::traced("propchange").empty());
        QVERIFY(w.buttonsBack());
    }

    // A Register-only run that repeats as fast as the adapter answers: the window queues nothing
    // per pass, and after "Stop" the Pass column shows the passes the runner made, each of which
    // showed its status line once. On the virtual clock, and briefly on the real one.
    void aFastRepeatRunQueuesNothingPerPass_data() {
        QTest::addColumn<bool>("realClock");
        QTest::addColumn<int>("passes");
        QTest::newRow("virtual clock") << false << 5000;
        QTest::newRow("real clock") << true << 500;
    }
    void aFastRepeatRunQueuesNothingPerPass() {
        QFETCH(bool, realClock);
        QFETCH(int, passes);
        using Mode = kv::sim::SimClock::Mode;
        DiagnosticsWindow w(oneAdapter(0x4450, [](AdapterBuilder& a) { a.set("device.restartMs", Json(int64_t{50})); }),
                            realClock ? Mode::Real : Mode::Virtual);
        const QString testing = QStringLiteral("Testing on Register Access. Please wait...");
        w.tick({"Register"});
        w.button(ctl::kDiagnosticsRepeat).click();
        w.button(ctl::kDiagnosticsStart).click();
        size_t mostWaiting = 0;
        QVERIFY(DiagFixture::deliverPostedUntil([&] {
            mostWaiting = std::max(mostWaiting, ui::pendingUiCalls());
            return w.timesShown(testing) >= passes;
        }));
        w.button(ctl::kDiagnosticsStop).click();
        QVERIFY(DiagFixture::deliverPostedUntil([&] { return w.workerEnded(); }));
        QVERIFY2(mostWaiting <= 2, qPrintable(QString::number(mostWaiting)));
        QCOMPARE(w.rows().at(0), QStringLiteral("Register | %1 | 0").arg(w.timesShown(testing)));
        QCOMPARE(w.log(), kNoErrors);
        QVERIFY(w.buttonsBack());
    }

    // Failures found on earlier passes keep their verdict when the adapter goes on a later one.
    void aFailingRunThatLosesItsAdapterKeepsItsVerdict() {
        DiagnosticsWindow w(oneAdapter(0x4450, [](AdapterBuilder& a) { a.fault("failingOids", ids({"0xFF442003"})); }));
        w.tick({"EEPROM"});
        w.button(ctl::kDiagnosticsRepeat).click();
        int boxes = 0;
        w.fx.whileBoxShown([&](const QString& text) {
            if (text != kEepromTestBox || ++boxes != 2) return;
            kv::sim::Host::Call call(kv::sim::Host::get());
            call.host.machine().adapters.at(0)->present = false;
        });
        QVERIFY(w.run());
        QVERIFY(w.fx.boxTexts().contains(kNotReady));
        QCOMPARE(w.rows().at(1), QStringLiteral("EEPROM | 0 | 2"));
        QCOMPARE(w.log(), kErrors);
    }

    void userActionsComeBackAtTheWatchsNextTick() {
        DiagnosticsWindow w(oneAdapter(0x4450));
        CDiagSheet& sheet = w.fx.sheet();
        const uint64_t started = ui::TimerClock::nowMs();
        QVERIFY(w.run());
        const uint64_t took = ui::TimerClock::nowMs() - started;
        QVERIFY2(took < 5000, "the run ends before the watch's first tick");
        QVERIFY(!sheet.adapterTree()->isEnabled());
        QVERIFY(!sheet.PageTreeCtrl()->isEnabled());
        QVERIFY(!sheet.isCloseEnabled());
        // The page stays usable meanwhile.
        QVERIFY(w.page->isEnabled());
        QVERIFY(w.buttonsBack());
        w.fx.advance(static_cast<uint32_t>(5000 - took - 1));
        QVERIFY(!sheet.uiEnabled());
        w.fx.advance(1);
        QVERIFY(sheet.uiEnabled());
        QVERIFY(sheet.adapterTree()->isEnabled());
        QVERIFY(sheet.PageTreeCtrl()->isEnabled());
    }

    void aPageDestroyedDuringARunStopsItsWorker() {
        PageHarness harness(oneAdapter(0x4450));
        QVERIFY(harness.selectAdapter(0));
        auto& page = harness.host<CDiagnosticsPage>();
        QVERIFY(harness.activate());
        auto* list = page.control<ui::ListView>(ctl::kDiagnosticsList);
        list->setChecked(0, true);
        page.control<QAbstractButton>(ctl::kDiagnosticsRepeat)->click();
        page.control<QAbstractButton>(ctl::kDiagnosticsStart)->click();
        const ui::WorkerHandle worker = page.worker();
        QVERIFY(worker);
        // Repeating, the run would go on for ever; the page's end stops it after its test, and
        // what it still shows goes nowhere.
        harness.destroyPage();
        QVERIFY(DiagFixture::deliverPostedUntil([&] { return worker->hasEnded(); }));
    }
};

QTEST_MAIN(DiagnosticsPageTest)
#include "diagnostics_page_tests.moc"
