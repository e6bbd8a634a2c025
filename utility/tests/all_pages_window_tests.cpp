// The "all pages" mode on the real main window: which pages it adds for which adapters, and
// every page working for every adapter of the default machine.
#include <QTest>

#include "app/page_table.h"
#include "pages/vlan_page.h"
#include "support/diag_fixture.h"

using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

namespace {

// Lets the pages that work for a while (the cable analysis) finish.
constexpr uint32_t kPageSettleMs = 3000;

constexpr char kVlanDriverTooOld[] = "You have to update the network adapter driver to Version 5.611 or later.";

}  // namespace

class AllPagesWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The configured pages keep their place; the others follow for the adapters they fit.
    void theOtherPagesFollowForTheAdaptersTheyFit() {
        DiagFixture fx(MachineBuilder::defaultMachine());
        fx.start(testEnvironment(), allPagesTable());
        const QStringList mine = {"Diagnostics", "Diagnostics::Send and Receive", "Statistics",
                                  "Wake On LAN", "Driver::Advanced Setting",      "Green Feature"};
        struct Expected {
            int adapter;
            QStringList first;
            QStringList without;
        };
        const Expected cases[] = {
            {0, {"General", "Driver", "Cable"}, {}},  // 4450
            {1,
             {"General", "Driver", "Diagnostics", "Diagnostics::Send and Receive", "Statistics"},
             {"Cable", "Green Feature"}},             // 4420
            {2, {"General", "Driver", "Cable"}, {}},  // 4440
            {3,
             {"General", "Statistics", "Wake On LAN"},
             {"Driver", "Diagnostics", "Diagnostics::Send and Receive", "Driver::Advanced Setting", "Green Feature"}},
        };
        for (const Expected& c : cases) {
            QVERIFY(fx.selectAdapter(c.adapter));
            const QStringList titles = fx.pageTitles();
            QCOMPARE(titles.mid(0, c.first.size()), c.first);
            for (const QString& title : mine) QCOMPARE(titles.contains(title), !c.without.contains(title));
        }
    }

    // The VLAN page alone turns drivers before version number 611 away (6.210, the driver of the
    // default machine's older adapters, reads 210), with its box.
    void everyPageWorksForEveryAdapterWithoutAnErrorBox() {
        DiagFixture fx(MachineBuilder::defaultMachine());
        fx.start(testEnvironment(), allPagesTable());
        const int adapters = static_cast<int>(fx.sheet().adapterList().Count);
        QVERIFY(adapters >= 4);
        QStringList expectedBoxes;
        for (int adapter = 0; adapter < adapters; ++adapter) {
            QVERIFY(fx.selectAdapter(adapter));
            fx.advance(kPageSettleMs);
            for (const QString& title : fx.pageTitles()) {
                const bool refused =
                    title == "VLAN" && fx.sheet().driverVersionNumber() < CVlanPage::kFirstVlanDriverVersion;
                if (refused) expectedBoxes << kVlanDriverTooOld;
                QVERIFY2(fx.activatePage(title), qPrintable(title));
                fx.advance(kPageSettleMs);
                QCOMPARE(fx.activePage()->caption() == title, !refused);
            }
        }
        QCOMPARE(fx.boxTexts(), expectedBoxes);
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
