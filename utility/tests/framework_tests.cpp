// The dialog framework's pieces: window timers on virtual time, message boxes from any thread,
// worker threads, the list view's label editing and notifications, dialog units, the property
// sheet's activation steps and the small controls.
#include <QtTest>
#include <atomic>

#include "framework/ip_address_control.h"
#include "framework/list_view.h"
#include "framework/message_box.h"
#include "framework/property_sheet.h"
#include "framework/string_lists.h"
#include "framework/ui_thread.h"
#include "framework/up_down.h"
#include "framework/worker_thread.h"
#include "kv/platform/system.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "support/test_host.h"
#include "support/test_pages.h"

using namespace kv::ui;
using kv::diag::testing::TestPage;

Q_DECLARE_METATYPE(QMessageBox::StandardButtons)
Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {
using Firing = std::pair<int, uint64_t>;  // timer id, virtual time since the start
}

class FrameworkTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv::diag::testing::installMachine(); }

    void timersFireInOrderOnVirtualTime() {
        std::vector<Firing> fired;
        const uint64_t start = TimerClock::nowMs();
        WindowTimers timers([&](int id) { fired.emplace_back(id, TimerClock::nowMs() - start); });
        timers.setTimer(1, 100);
        timers.setTimer(2, 230);
        timers.setTimer(3, 470);
        TimerClock::advance(600);
        const std::vector<Firing> expected{{1, 100}, {1, 200}, {2, 230}, {1, 300}, {1, 400},
                                           {2, 460}, {3, 470}, {1, 500}, {1, 600}};
        QCOMPARE(fired, expected);
        QCOMPARE(TimerClock::nowMs() - start, uint64_t(600));
    }

    void settingATimerAgainReArmsIt() {
        std::vector<Firing> fired;
        const uint64_t start = TimerClock::nowMs();
        WindowTimers timers([&](int id) { fired.emplace_back(id, TimerClock::nowMs() - start); });
        timers.setTimer(1, 500);
        TimerClock::advance(300);
        timers.setTimer(1, 500);
        TimerClock::advance(300);
        QVERIFY(fired.empty());
        TimerClock::advance(200);
        QCOMPARE(fired, (std::vector<Firing>{{1, 800}}));
        QCOMPARE(timers.period(1), uint32_t(500));
    }

    void aHandlerMayStopItsOwnTimer() {
        int ticks = 0;
        WindowTimers* self = nullptr;
        WindowTimers timers([&](int id) {
            ++ticks;
            self->killTimer(id);
        });
        self = &timers;
        timers.setTimer(1, 100);
        TimerClock::advance(1000);
        QCOMPARE(ticks, 1);
        QVERIFY(!timers.isRunning(1));
        QVERIFY(!timers.killTimer(1));
    }

    void ticksMissedWhileBlockedFireOnce() {
        std::vector<Firing> fired;
        const uint64_t start = TimerClock::nowMs();
        WindowTimers timers([&](int id) { fired.emplace_back(id, TimerClock::nowMs() - start); });
        timers.setTimer(7, 100);
        // A library call that sleeps on the user-interface thread.
        kv::platform::clock().sleep(350);
        TimerClock::fireDue();
        QCOMPARE(fired, (std::vector<Firing>{{7, 350}}));
        TimerClock::advance(50);
        QCOMPARE(fired.back(), Firing(7, 400));
    }

    void boxesShowTheButtonsAndIconOfTheirFlags_data() {
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK") << uint32_t(mb::kOk) << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::NoIcon
                            << mb::kIdOk;
        QTest::newRow("Yes/No, question")
            << uint32_t(mb::kYesNo | mb::kIconQuestion)
            << QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No) << QMessageBox::Question << mb::kIdYes;
        QTest::newRow("OK/Cancel, error") << uint32_t(mb::kOkCancel | mb::kIconError)
                                          << QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel)
                                          << QMessageBox::Critical << mb::kIdOk;
        QTest::newRow("OK, warning") << uint32_t(mb::kOk | mb::kIconExclamation)
                                     << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::Warning
                                     << mb::kIdOk;
    }
    void boxesShowTheButtonsAndIconOfTheirFlags() {
        QFETCH(uint32_t, flags);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(int, answer);
        kv::diag::testing::BoxAnswerer answerer;
        QCOMPARE(messageBox(QStringLiteral("Text"), QStringLiteral("Caption"), flags), answer);
        const auto boxes = answerer.boxes();
        QCOMPARE(boxes.size(), size_t(1));
        QCOMPARE(boxes[0].text, QStringLiteral("Text"));
        QCOMPARE(boxes[0].caption, QStringLiteral("Caption"));
        QCOMPARE(boxes[0].buttons, buttons);
        QCOMPARE(boxes[0].icon, icon);
    }

    void theLibrarysBoxesTakeTheSameRoad() {
        kv::diag::testing::BoxAnswerer answerer(QMessageBox::Cancel);
        kv::sim::Host::get().trace().clear();
        const int pressed = kv::platform::messageBoxes().show(u"Driver busy", u"Kelvalib", mb::kOkCancel);
        QCOMPARE(pressed, mb::kIdCancel);
        QCOMPARE(answerer.boxes().at(0).text, QStringLiteral("Driver busy"));
        const auto traced = kv::sim::Host::get().trace().linesOf("msgbox");
        QCOMPARE(traced.size(), size_t(1));
        QVERIFY(traced[0].find("Driver busy") != std::string::npos);
    }

    void aWorkersBoxWaitsForTheUiThreadsAnswer() {
        kv::diag::testing::BoxAnswerer answerer(QMessageBox::No);
        const WorkerHandle worker = WorkerThread::start(
            [] { return static_cast<uint32_t>(messageBox(QStringLiteral("Do you want add VLAN 12?"), mb::kYesNo)); });
        QVERIFY(worker);
        // The worker is blocked until the user-interface thread has shown the box.
        while (!worker->hasEnded()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        worker->join();
        QCOMPARE(worker->exitCode(), uint32_t(mb::kIdNo));
        const auto boxes = answerer.boxes();
        QCOMPARE(boxes.size(), size_t(1));
        QVERIFY(boxes[0].onUiThread);
        QCOMPARE(boxes[0].caption, messageBoxCaption());
        QCOMPARE(boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
    }

    void aWorkerIsWaitedForOnThePlatformClock() {
        std::atomic<bool> release{false};
        const WorkerHandle worker = WorkerThread::start([&] {
            while (!release) std::this_thread::yield();
            return 5u;
        });
        QVERIFY(worker);
        const uint64_t before = TimerClock::nowMs();
        QVERIFY(!worker->waitFor(1));
        QCOMPARE(TimerClock::nowMs() - before, uint64_t(1));
        release = true;
        worker->join();
        QVERIFY(worker->waitFor(0));
        QCOMPARE(worker->exitCode(), 5u);
    }

    void workersPostToTheUiThread() {
        QObject context;
        std::atomic<bool> ranOnUiThread{false};
        const WorkerHandle worker = WorkerThread::start([&] {
            postToUi(&context, [&] { ranOnUiThread = onUiThread(); });
            return 0u;
        });
        worker->join();
        QVERIFY(!ranOnUiThread);
        QCoreApplication::processEvents();
        QVERIFY(ranOnUiThread);
    }

    void labelEditsAskTheirHandlers_data() {
        QTest::addColumn<bool>("allowBegin");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("acceptEnd");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("ended");
        QTest::newRow("refused at the start") << false << int(Qt::Key_Return) << true << "7"
                                              << "";
        QTest::newRow("accepted") << true << int(Qt::Key_Return) << true << "12"
                                  << "12";
        QTest::newRow("refused at the end") << true << int(Qt::Key_Return) << false << "7"
                                            << "12";
        QTest::newRow("cancelled") << true << int(Qt::Key_Escape) << true << "7"
                                   << "(cancelled)";
    }
    void labelEditsAskTheirHandlers() {
        QFETCH(bool, allowBegin);
        QFETCH(int, key);
        QFETCH(bool, acceptEnd);
        QFETCH(QString, label);
        QFETCH(QString, ended);
        ListView list;
        list.setEditLabels(true);
        list.addColumn(QStringLiteral("VLAN ID"), 80);
        list.appendRow(QStringLiteral("7"), 3);
        list.resize(200, 100);
        list.show();
        QString endedWith;
        list.onBeginLabelEdit = [&](int row) { return allowBegin && row == 0; };
        list.onEndLabelEdit = [&](int, const std::optional<QString>& text) {
            endedWith = text ? *text : QStringLiteral("(cancelled)");
            return acceptEnd;
        };
        list.editLabel(0);
        QCOMPARE(list.isEditingLabel(), allowBegin);
        if (QLineEdit* editor = list.labelEditor()) {
            editor->setText(QStringLiteral("12"));
            QTest::keyClick(editor, static_cast<Qt::Key>(key));
            QCoreApplication::processEvents();  // the editor commits on a queued call
        }
        QVERIFY(!list.isEditingLabel());
        QCOMPARE(endedWith, ended);
        QCOMPARE(list.itemText(0, 0), label);
        QCOMPARE(list.itemData(0), intptr_t(3));
    }

    void theListReportsChecksTipsAndFreezes() {
        ListView list;
        list.setCheckBoxes(true);
        list.setInfoTips(true);
        list.addColumn(QStringLiteral("Test Item"), 100);
        list.addColumn(QStringLiteral("Pass"), 40, Qt::AlignHCenter);
        list.appendRow(QStringLiteral("Register"), 0);
        list.appendRow(QStringLiteral("EEPROM"), 1);
        std::vector<int> changed;
        QObject::connect(&list, &ListView::checkChanged, [&](int row) { changed.push_back(row); });
        list.onInfoTip = [&](int row) { return QStringLiteral("tip %1").arg(row); };
        list.setChecked(1, true);
        list.setChecked(1, true);
        list.setItemText(1, 1, QStringLiteral("3"));
        QCOMPARE(changed, std::vector<int>{1});
        QVERIFY(list.isChecked(1) && !list.isChecked(0));
        QCOMPARE(list.infoTip(1), QStringLiteral("tip 1"));
        QCOMPARE(list.itemText(1, 1), QStringLiteral("3"));
        {
            const ListView::FrozenDrawing frozen(list);
            QVERIFY(list.isDrawingFrozen() && !list.updatesEnabled());
        }
        QVERIFY(!list.isDrawingFrozen() && list.updatesEnabled());
        list.setHighlighted(0, true);
        QVERIFY(list.isHighlighted(0));
        list.clearHighlights();
        QVERIFY(!list.isHighlighted(0));
    }

    void dialogUnitsConvertAsThePlatformDoes_data() {
        QTest::addColumn<QRect>("dlu");
        QTest::addColumn<QRect>("pixels");
        // Base units 6 x 13.
        QTest::newRow("page list") << QRect(7, 7, 221, 142) << QRect(11, 11, 332, 231);
        QTest::newRow("placeholder") << QRect(131, 51, 72, 18) << QRect(197, 83, 108, 29);
        QTest::newRow("page") << QRect(0, 0, 235, 156) << QRect(0, 0, 353, 254);
    }
    void dialogUnitsConvertAsThePlatformDoes() {
        QFETCH(QRect, dlu);
        QFETCH(QRect, pixels);
        QCOMPARE(DialogBaseUnits(6, 13).toPixels(dlu), pixels);
    }

    void pagesAreLaidOutFromTheirTemplates() {
        PropertySheet sheet(QStringLiteral("Sheet"));
        PropertyPage general(kv::diag::generalDialog());
        PropertyPage vlan(kv::diag::vlanDialog());
        sheet.addPage(&general);
        sheet.addPage(&vlan);
        sheet.createWindow();
        auto* list = findControl<ListView>(&sheet, kv::diag::res::ctl::kGeneralList);
        QVERIFY(list);
        QCOMPARE(list->geometry(), general.baseUnits().toPixels(QRect(7, 7, 221, 142)));
        QCOMPARE(general.size(), general.templateSize());
        QVERIFY(!vlan.hasWindow());
        QVERIFY(sheet.setActivePage(1));
        QVERIFY(vlan.control<QPushButton>(kv::diag::res::ctl::kVlanAdd));
        QCOMPARE(vlan.controlText(kv::diag::res::ctl::kVlanModifyVid), QStringLiteral("Modify VID"));
        QCOMPARE(sheet.tabControl()->itemText(1), QStringLiteral("VLAN"));
        QCOMPARE(kv::diag::loadString(kv::diag::res::str::general::kMacAddress), QStringLiteral("MAC Address"));
        constexpr int kIdTheTableLacks = 79;  // between the diagnostics page's texts
        QCOMPARE(kv::diag::loadString(kIdTheTableLacks), QString());
    }

    void theSheetGoesBackWhenAPageRefuses() {
        auto pages = kv::diag::testing::makePages({"A", "B", "C"});
        PropertySheet sheet(QStringLiteral("Sheet"));
        for (const auto& page : pages) sheet.addPage(page.get());
        sheet.createWindow();
        QCOMPARE(pages[0]->setActiveCalls, 1);

        pages[0]->refuseKillActive = true;
        QVERIFY(!sheet.setActivePage(1));
        QCOMPARE(sheet.activeIndex(), 0);
        pages[0]->refuseKillActive = false;

        pages[1]->refuseSetActive = true;
        QVERIFY(!sheet.setActivePage(1));
        QCOMPARE(sheet.activeIndex(), 0);
        QVERIFY(!pages[0]->isHidden() && pages[1]->isHidden());
        QCOMPARE(sheet.tabControl()->currentItem(), 0);
        pages[1]->refuseSetActive = false;

        QVERIFY(sheet.setActivePageById(900) && sheet.activeIndex() == 0);
        QVERIFY(sheet.setActivePage(2));
        sheet.removePage(2);
        QCOMPARE(sheet.activeIndex(), 1);
        QVERIFY(!pages[1]->isHidden());
        QVERIFY(!pages[2]->hasWindow());
        QCOMPARE(sheet.tabControl()->itemCount(), 2);
    }

    void okAsksTheActivePageFirst() {
        auto pages = kv::diag::testing::makePages({"A"});
        PropertySheet sheet(QStringLiteral("Sheet"));
        sheet.addPage(pages[0].get());
        sheet.createWindow();
        sheet.show();
        pages[0]->refuseKillActive = true;
        sheet.button(PropertySheet::kIdOk)->click();
        QVERIFY(sheet.isVisible());
        pages[0]->refuseKillActive = false;
        sheet.button(PropertySheet::kIdOk)->click();
        QVERIFY(!sheet.isVisible());
        QCOMPARE(sheet.result(), PropertySheet::kIdOk);
    }

    void sortedListsPlaceStringsCaseInsensitively() {
        ListBox list;
        list.setSorted(true);
        for (const char* text : {"Speed", "flow control", "Jumbo", "jumbo"}) list.addString(QString::fromLatin1(text));
        QStringList order;
        for (int i = 0; i < list.count(); ++i) order << list.text(i);
        QCOMPARE(order, QStringList({"flow control", "Jumbo", "jumbo", "Speed"}));
        ComboBox combo;
        combo.setSorted(true);
        combo.addString(QStringLiteral("b"));
        combo.addString(QStringLiteral("A"));
        QCOMPARE(combo.text(0), QStringLiteral("A"));
        QCOMPARE(combo.currentSelection(), -1);
    }

    void upDownStepsItsBuddyWithinTheRange() {
        QLineEdit buddy;
        UpDownControl upDown;
        upDown.setBuddy(&buddy);
        upDown.setRange(0, 3);
        buddy.setText(QStringLiteral("2"));
        upDown.step(+1);
        upDown.step(+1);
        QCOMPARE(buddy.text(), QStringLiteral("3"));
        upDown.setRange(10, 0);  // reversed: up runs towards 0
        upDown.step(+1);
        QCOMPARE(buddy.text(), QStringLiteral("2"));
    }

    void theAddressControlReadsFourFields() {
        IpAddressControl address;
        int changes = 0;
        connect(&address, &IpAddressControl::changed, this, [&] { ++changes; });
        address.setAddress({192, 168, 1, 20});
        std::array<uint8_t, 4> bytes{};
        QCOMPARE(address.address(bytes), 4);
        QCOMPARE(bytes, (std::array<uint8_t, 4>{192, 168, 1, 20}));
        QVERIFY(changes >= 4);
        address.clearAddress();
        QVERIFY(address.isBlank());
    }
};

QTEST_MAIN(FrameworkTests)
#include "framework_tests.moc"
