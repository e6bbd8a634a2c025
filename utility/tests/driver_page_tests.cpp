// The "Driver" page: the driver record's rows in their order, the binary rows, the adapter kinds
// it describes, and what an activation without the adapter leaves; its rows in the main window too.
#include <QtTest>
#include <cstring>

#include "framework/list_view.h"
#include "kelvalib.h"
#include "pages/driver_page.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/page_harness.h"
#include "support/page_machines.h"
Q_DECLARE_METATYPE(kv::sim::testing::MachineBuilder)

using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

class DriverPageTests : public QObject {
    Q_OBJECT

    std::unique_ptr<PageHarness> harness;
    CDriverPage* page = nullptr;

    QStringList rows() const { return listRows(*page->control<kv::ui::ListView>(res::ctl::kDriverList)); }

    void start(MachineBuilder machine) {
        harness.reset();
        harness = std::make_unique<PageHarness>(std::move(machine));
        QVERIFY(harness->selectAdapter(0));
        page = &harness->host<CDriverPage>();
    }

private slots:
    void cleanup() { harness.reset(); }

    void emptyTextsAreSkippedAndCountedSlotsShownEmptyOrNot() {
        start(driverMachine(kInfWithoutBinaries));
        DriverInfo_A& record = harness->driverRecord();
        record.ProviderName[0] = '\0';
        record.DriverDate[0] = '\0';
        std::strcpy(record.BinaryName[0], "first.sys");
        record.BinaryName[1][0] = '\0';
        std::strcpy(record.BinaryName[2], "third.dll");
        record.BinaryCount = 3;
        QVERIFY(harness->activate());
        QCOMPARE(rows(), QStringList({"Description | Tavrick 4450", "Version | 6.210.1124.2009", "INF Path | oem3.inf",
                                      "Binary Path | first.sys", " | ", " | third.dll"}));
    }

    void aCountBeyondTheSlotsStopsAtTheLastSlot() {
        start(driverMachine(kInfWithoutBinaries));
        DriverInfo_A& record = harness->driverRecord();
        for (int i = 0; i < KV_BINARY_SLOTS; ++i) std::snprintf(record.BinaryName[i], KV_TEXT_CHARS, "file%d.sys", i);
        record.BinaryCount = 1000;
        QVERIFY(harness->activate());
        const QStringList all = rows();
        QCOMPARE(all.size(), kDriverTextRows.size() + KV_BINARY_SLOTS);
        QCOMPARE(all.last(), QStringLiteral(" | file15.sys"));
    }

    void onlyTheDescribedKindsShowRows_data() {
        QTest::addColumn<uint32_t>("chipClass");
        QTest::addColumn<bool>("described");
        QTest::newRow("0x02") << 0x02u << true;
        QTest::newRow("0x04") << 0x04u << true;
        QTest::newRow("0x08") << 0x08u << true;
        QTest::newRow("0x80") << 0x80u << true;
        QTest::newRow("0x10") << 0x10u << false;
        QTest::newRow("0x00") << 0x00u << false;
    }

    void onlyTheDescribedKindsShowRows() {
        QFETCH(uint32_t, chipClass);
        QFETCH(bool, described);
        start(driverMachine(kInfWithThreeBinaries));
        harness->adapterRecord().ChipClass = chipClass;
        QVERIFY(harness->activate());
        QCOMPARE(rows().size(), described ? kDriverTextRows.size() + 3 : 0);
    }

    void aFailedDriverReadShowsNothing() {
        MachineBuilder machine;
        // The adapter's device is hidden: the library finds no device, hence no driver key.
        machine.addAdapter(0x4450).set("device.hidden", kv::sim::Json(true));
        start(std::move(machine));
        QCOMPARE(harness->driverInfo().DriverDesc[0], '\0');
        QVERIFY(harness->activate());
        QVERIFY(rows().isEmpty());
    }

    void leavingEmptiesTheList() {
        start(driverMachine(kInfWithThreeBinaries));
        QVERIFY(harness->activate());
        QVERIFY(harness->leave());
        QVERIFY(rows().isEmpty());
    }

    // In the main window, as the page table places the page.
    void driverRows_data() {
        QTest::addColumn<MachineBuilder>("machine");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("three binaries") << driverMachine(kInfWithThreeBinaries)
                                        << kDriverTextRows + QStringList{"Binary Path | tvx60x64.sys",
                                                                         " | tvxcoins.dll", " | tvxhelp.chm"};
        QTest::newRow("no binary") << driverMachine(kInfWithoutBinaries) << kDriverTextRows;
    }

    void driverRows() {
        QFETCH(MachineBuilder, machine);
        QFETCH(QStringList, expected);
        QCOMPARE(pageRows(machine, "Driver", res::ctl::kDriverList), expected);
    }

    void driverGoneAtActivationKeepsItsRows() {
        DiagFixture fx(driverMachine(kInfWithThreeBinaries));
        fx.start();
        QVERIFY(fx.activatePage("Driver"));
        const QStringList shown = fx.listRows(res::ctl::kDriverList);
        API_Close();
        QVERIFY(fx.activatePage("General"));  // leaving finds the channel closed: no emptying
        QVERIFY(fx.activatePage("Driver"));
        QCOMPARE(fx.listRows(res::ctl::kDriverList), shown);
        QVERIFY(refreshRequested(fx));
    }
};

QTEST_MAIN(DriverPageTests)
#include "driver_page_tests.moc"
