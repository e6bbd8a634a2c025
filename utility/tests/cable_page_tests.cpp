// The "Cable" page: the pair rows from the cable analysis with link and without, the result kept
// between analyses, the driver reload when the analysis does not run, and the "Refresh" button;
// its rows in the main window too, the default machine's 4440 among them.
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "framework/list_view.h"
#include "kelvalib.h"
#include "kv/sim/host.h"
#include "pages/cable_page.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/page_harness.h"
#include "support/page_machines.h"

Q_DECLARE_METATYPE(kv::sim::Json)
Q_DECLARE_METATYPE(kv::sim::testing::MachineBuilder)

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using kv::sim::testing::traced;
using namespace kv::diag;
using namespace kv::diag::testing;

class CablePageTests : public QObject {
    Q_OBJECT

    std::unique_ptr<PageHarness> harness;
    CCablePage* page = nullptr;

    kv::ui::ListView& list() const { return *page->control<kv::ui::ListView>(res::ctl::kCableList); }
    QStringList rows() const { return listRows(list()); }

    void start(MachineBuilder machine) {
        harness.reset();
        harness = std::make_unique<PageHarness>(std::move(machine));
        QVERIFY(harness->selectAdapter(0));
        page = &harness->host<CCablePage>();
        kv::sim::Host::get().trace().clear();
    }

    void clickRefresh() { page->control<QPushButton>(res::ctl::kCableRefresh)->click(); }

private slots:
    void cleanup() { harness.reset(); }

    void withLinkEveryPairIsNormalAtTheCableLength() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).link(true, 100).set("cable.length", Json(42));
        start(std::move(machine));
        QVERIFY(harness->activate());
        QCOMPARE(rows(),
                 QStringList({"1-2 | 42 | Normal", "3-6 | 42 | Normal", "4-5 | 42 | Normal", "7-8 | 42 | Normal"}));
        for (int n = 0; n < 4; ++n) QCOMPARE(list().itemData(n), intptr_t(n + 1));
        QCOMPARE(list().headerItem()->text(0), QStringLiteral("Pair"));
        QCOMPARE(list().headerItem()->text(1), QStringLiteral("Length(m)"));
        QCOMPARE(list().headerItem()->text(2), QStringLiteral("Status"));
    }

    void pairRowsWithoutLink_data() {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<Json>("cablePairs");
        QTest::addColumn<QStringList>("expected");
        // A pair without fault keeps the length it had: 0 at the first analysis.
        QTest::newRow("open, short and another fault")
            << 0x4450
            << jsonList({cablePair("open", 12), cablePair("short", 7), cablePair("fault", 20), Json::object()})
            << QStringList{"1-2 | 12 | Open", "3-6 | 7 | Short", "4-5 | 20 | ", "7-8 | 0 | Normal"};
        QTest::newRow("a fault beyond 200 m reads 0")
            << 0x4450 << jsonList({cablePair("open", 230), Json::object(), Json::object(), Json::object()})
            << QStringList{"1-2 | 0 | Open", "3-6 | 0 | Normal", "4-5 | 0 | Normal", "7-8 | 0 | Normal"};
        QTest::newRow("4440 counting 2.5 cm steps")
            << 0x4440 << jsonList({Json::object(), cablePair("short", 33)})
            << QStringList{"1-2 | 0 | Normal", "3-6 | 33 | Short", "4-5 | 0 | Normal", "7-8 | 0 | Normal"};
    }

    void pairRowsWithoutLink() {
        QFETCH(int, deviceId);
        QFETCH(Json, cablePairs);
        QFETCH(QStringList, expected);
        MachineBuilder machine;
        auto& adapter = machine.addAdapter(static_cast<uint16_t>(deviceId)).link(false);
        adapter.set("cable.length", Json(40)).set("cable.pairs", cablePairs);
        if (deviceId == 0x4440) adapter.set("pci.revision", Json(2));
        start(std::move(machine));
        QVERIFY(harness->activate());
        QCOMPARE(rows(), expected);
    }

    // Lengths the analysis does not write stay from the last analysis of the same adapter only:
    // the 4440 without link does not show the 4450's 42 m.
    void anotherAdapterStartsWithoutTheKeptLengths() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).link(true, 100).set("cable.length", Json(42));
        machine.addAdapter(0x4440)
            .link(false)
            .set("cable.pairs", jsonList({Json::object(), cablePair("open", 12)}))
            .set("pci.revision", Json(2));
        start(std::move(machine));
        QVERIFY(harness->activate());
        QCOMPARE(rows().at(0), QStringLiteral("1-2 | 42 | Normal"));
        QVERIFY(harness->selectAdapter(1));
        QVERIFY(harness->activate());
        QCOMPARE(rows(), QStringList({"1-2 | 0 | Normal", "3-6 | 12 | Open", "4-5 | 0 | Normal", "7-8 | 0 | Normal"}));
    }

    void withoutAReadyAdapterNothingRuns() {
        MachineBuilder machine;
        machine.addAdapter(0x4450);
        start(std::move(machine));
        harness->setAdapterReady(0);
        QVERIFY(harness->activate());
        clickRefresh();
        QVERIFY(rows().isEmpty());
        QVERIFY(traced("ioctl").empty());
    }

    void anAdapterGoneAsksForTheRefreshAndLeavesTheList() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).link(true, 100).set("cable.length", Json(42));
        start(std::move(machine));
        QVERIFY(harness->activate());
        const QStringList shown = rows();
        API_Close();
        clickRefresh();
        QVERIFY(harness->activate());
        QCOMPARE(rows(), shown);
        QCOMPARE(harness->refreshRequests(), 2);
    }

    // In the main window, as the page table places the page.
    void cableRows_data() {
        QTest::addColumn<MachineBuilder>("machine");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("with link") << oneAdapter([](auto& a) {
            a.link(true, 100).set("cable.length", Json(42));
        }) << QStringList{"1-2 | 42 | Normal", "3-6 | 42 | Normal", "4-5 | 42 | Normal", "7-8 | 42 | Normal"};
        QTest::newRow("longer than 200 m")
            << oneAdapter([](auto& a) { a.link(true, 100).set("cable.length", Json(230)); })
            << QStringList{"1-2 | 0 | Normal", "3-6 | 0 | Normal", "4-5 | 0 | Normal", "7-8 | 0 | Normal"};
        QTest::newRow("faults without link") << oneAdapter([](auto& a) {
            a.link(false).set("cable.pairs",
                              jsonList({cablePair("fault", 20), cablePair("short", 7), cablePair("open", 150)}));
        }) << QStringList{"1-2 | 20 | ", "3-6 | 7 | Short", "4-5 | 150 | Open", "7-8 | 0 | Normal"};
    }

    void cableRows() {
        QFETCH(MachineBuilder, machine);
        QFETCH(QStringList, expected);
        QCOMPARE(pageRows(machine, "Cable", res::ctl::kCableList), expected);
    }

    void aLengthTheAnalysisDidNotWriteKeepsThePreviousOne() {
        // With link first; the link never returns after it, so "Refresh" tests the pairs one by
        // one and writes only the open pair's length.
        DiagFixture fx(oneAdapter([](auto& a) {
            a.link(true, 100)
                .set("cable.length", Json(42))
                .set("cable.pairs", jsonList({Json::object(), cablePair("open", 12)}))
                .fault("linkNeverReturns", Json(true));
        }));
        fx.start();
        QVERIFY(fx.activatePage("Cable"));
        fx.control<QPushButton>(res::ctl::kCableRefresh)->click();
        QCOMPARE(fx.listRows(res::ctl::kCableList),
                 QStringList({"1-2 | 42 | Normal", "3-6 | 12 | Open", "4-5 | 42 | Normal", "7-8 | 42 | Normal"}));
    }

    void anAnalysisThatDoesNotRunReloadsTheDriver() {
        DiagFixture fx(oneAdapter([](auto&) {}));
        fx.start();
        QVERIFY(fx.activatePage("Cable"));
        kv::sim::Host::get().machine().adapters.at(0)->present = false;
        kv::sim::Host::get().trace().clear();
        fx.control<QPushButton>(res::ctl::kCableRefresh)->click();
        QCOMPARE(fx.listRows(res::ctl::kCableList), QStringList({"1-2 |  | ", "3-6 |  | ", "4-5 |  | ", "7-8 |  | "}));
        // The reload restarts the adapter's device through the device installer.
        QVERIFY(!DiagFixture::traced("propchange").empty());
    }

    void theDefaultMachines4440ShowsItsOpenPair() {
        DiagFixture fx;
        const QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const std::filesystem::path path(directory.path().toStdString());
        kv::sim::writeDefaultMachine(path);
        kv::sim::Host::get().install(kv::sim::loadMachineDirectory(path), kv::sim::SimClock::Mode::Virtual);
        fx.start();
        QVERIFY(fx.selectAdapter(2));
        QVERIFY(fx.activatePage("Cable"));
        QCOMPARE(fx.listRows(res::ctl::kCableList),
                 QStringList({"1-2 | 0 | Normal", "3-6 | 12 | Open", "4-5 | 0 | Normal", "7-8 | 0 | Normal"}));
    }
};

QTEST_MAIN(CablePageTests)
#include "cable_page_tests.moc"
