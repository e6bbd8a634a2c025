// The "Cable" page: the pair rows from the cable analysis with link and without, the result kept
// between analyses, the driver reload when the analysis does not run, and the "Refresh" button.
#include <QPushButton>
#include <QtTest>

#include "framework/list_view.h"
#include "kelvalib.h"
#include "pages/cable_page.h"
#include "resources/resource_ids.h"
#include "support/page_harness.h"
#include "support/page_machines.h"

Q_DECLARE_METATYPE(kv::sim::Json)

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
};

QTEST_MAIN(CablePageTests)
#include "cable_page_tests.moc"
