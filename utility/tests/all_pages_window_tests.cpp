// The "all pages" mode on the real main window: which pages it adds for which adapters, and
// every page working for every adapter of the default machine.
#include <QTest>

#include "app/page_table.h"
#include "support/diag_fixture.h"

using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

namespace {

// Lets the pages that work for a while (the cable analysis) finish.
constexpr uint32_t kPageSettleMs = 3000;

}  // namespace

class AllPagesWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The configured pages keep their place; the others follow for the adapters they fit.
    void theOtherPagesFollowForTheAdaptersTheyFit() {
        DiagFixture fx(MachineBuilder::defaultMachine());
        fx.start(testEnvironment(), allPagesTable());
        const QStringList mine = {"Diagnostics::Send and Receive", "Statistics", "Wake On LAN",
                                  "Driver::Advanced Setting", "Green Feature"};
        struct Expected {
            int adapter;
            QStringList first;
            QStringList without;
        };
        const Expected cases[] = {
            {0, {"General", "Driver", "Cable"}, {}},                                                  // 4450
            {1, {"General", "Driver", "Diagnostics::Send and Receive"}, {"Cable", "Green Feature"}},  // 4420
            {2, {"General", "Driver", "Cable"}, {}},                                                  // 4440
            {3,
             {"General", "Statistics", "Wake On LAN"},
             {"Driver", "Diagnostics::Send and Receive", "Driver::Advanced Setting", "Green Feature"}},
        };
        for (const Expected& c : cases) {
            QVERIFY(fx.selectAdapter(c.adapter));
            const QStringList titles = fx.pageTitles();
            QCOMPARE(titles.mid(0, c.first.size()), c.first);
            for (const QString& title : mine) QCOMPARE(titles.contains(title), !c.without.contains(title));
        }
    }

    void everyPageWorksForEveryAdapterWithoutAnErrorBox() {
        DiagFixture fx(MachineBuilder::defaultMachine());
        fx.start(testEnvironment(), allPagesTable());
        const int adapters = static_cast<int>(fx.sheet().adapterList().Count);
        QVERIFY(adapters >= 4);
        for (int adapter = 0; adapter < adapters; ++adapter) {
            QVERIFY(fx.selectAdapter(adapter));
            fx.advance(kPageSettleMs);
            for (const QString& title : fx.pageTitles()) {
                QVERIFY2(fx.activatePage(title), qPrintable(title));
                fx.advance(kPageSettleMs);
                QCOMPARE(fx.activePage()->caption(), title);
            }
        }
        QCOMPARE(fx.boxTexts(), QStringList());
    }

    void theDefaultMachineShowsALiveRate() {
        DiagFixture fx(MachineBuilder::defaultMachine());
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        fx.advance(500);
        const QStringList rows = fx.listRows(1036);
        QVERIFY(rows.contains("Throughput(Receive) | 9.54 Mbps"));
        QVERIFY(rows.contains("Throughput(Send) | 2.37 Mbps"));
    }
};

QTEST_MAIN(AllPagesWindowTest)
#include "all_pages_window_tests.moc"
