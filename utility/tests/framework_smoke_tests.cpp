// The framework end to end: a sheet of template pages, controls by id, a timer on virtual time
// and a worker's message box.
#include <QtTest>

#include "framework/list_view.h"
#include "framework/message_box.h"
#include "framework/property_sheet.h"
#include "framework/worker_thread.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "support/test_host.h"

using namespace kv::ui;
using namespace kv::diag;

class FrameworkSmokeTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::installMachine(); }

    void pagesOfTemplatesShowTheirControlsById() {
        PropertySheet sheet(QStringLiteral("Sheet"));
        PropertyPage general(generalDialog());
        PropertyPage vlan(vlanDialog());
        sheet.addPage(&general);
        sheet.addPage(&vlan);
        sheet.createWindow();
        sheet.show();

        auto* list = findControl<ListView>(&sheet, res::ctl::kGeneralList);
        QVERIFY(list);
        const DialogBaseUnits units = general.baseUnits();
        QCOMPARE(list->geometry(), units.toPixels(QRect(7, 7, 221, 142)));
        QVERIFY(!general.isHidden());
        QVERIFY(sheet.setActivePage(1));
        QVERIFY(general.isHidden());
        QVERIFY(vlan.control<QWidget>(res::ctl::kVlanAdd));
        QCOMPARE(sheet.tabControl()->itemText(1), QStringLiteral("VLAN"));
        QCOMPARE(loadString(7), QStringLiteral("MAC Address"));
    }

    void aTimerFiresOnVirtualTime() {
        std::vector<int> fired;
        WindowTimers timers([&](int id) { fired.push_back(id); });
        timers.setTimer(3, 500);
        TimerClock::advance(1499);
        QCOMPARE(fired.size(), size_t(2));
    }

    void aWorkersBoxIsAnsweredOnTheUiThread() {
        testing::BoxAnswerer answerer(QMessageBox::No);
        WorkerHandle worker = WorkerThread::start([] {
            return static_cast<uint32_t>(messageBox(QStringLiteral("Go on?"), QStringLiteral("Caption"), mb::kYesNo));
        });
        QVERIFY(worker);
        while (!worker->hasEnded()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        worker->join();
        QCOMPARE(worker->exitCode(), uint32_t(mb::kIdNo));
        const auto boxes = answerer.boxes();
        QCOMPARE(boxes.size(), size_t(1));
        QVERIFY(boxes[0].onUiThread);
        QCOMPARE(boxes[0].caption, QStringLiteral("Caption"));
    }
};

QTEST_MAIN(FrameworkSmokeTests)
#include "framework_smoke_tests.moc"
