// The pages of the page table — General, Driver and Cable — in the real main window, offscreen on
// the virtual clock: the rows a user reads for the adapters of built machines, and the trace of
// what the pages asked.
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "framework/property_page.h"
#include "kelvalib.h"
#include "kv/sim/host.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/page_machines.h"

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

namespace {

MachineBuilder oneAdapter(std::function<void(kv::sim::testing::AdapterBuilder&)> shape) {
    MachineBuilder machine;
    shape(machine.addAdapter(0x4450));
    return machine;
}

}  // namespace

Q_DECLARE_METATYPE(MachineBuilder)

class ConfiguredPagesTests : public QObject {
    Q_OBJECT

    bool refreshRequested(DiagFixture& fx) { return fx.sheet().timers().isRunning(1); }

    // The rows of a page for the machine's adapter 0.
    QStringList pageRows(MachineBuilder machine, const QString& page, int listId) {
        DiagFixture fx(std::move(machine));
        fx.start();
        if (!fx.activatePage(page)) return {QStringLiteral("no page ") + page};
        return fx.listRows(listId);
    }

private slots:
    void generalRows_data() {
        QTest::addColumn<MachineBuilder>("machine");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("PCI adapter, every format") << oneAdapter([](auto& a) {
            a.set("mac", Json("00-1D-7A-AB-CD-EF"))
                .set("ip.address", Json("192.168.1.20"))
                .set("pci.bus", Json(2))
                .set("pci.slot", Json(3))
                .set("pci.io", Json("0x1D000"))
                .set("pci.memory", Json("0xA0000"))
                .set("pci.irq", Json(17))
                .set("vlanId", Json(65536 + 20));
        })
                                                   << QStringList{"MAC Address | 00-1d-7a-ab-cd-ef",
                                                                  "IP Address | 192.168.1.20",
                                                                  "Connection Name | Local Area Connection",
                                                                  "VLAN ID | 20",
                                                                  "Link Status | 1.0 Gbps",
                                                                  "Duplex Mode | Full Duplex",
                                                                  "Device Location | Bus: 0002, Slot: 0003",
                                                                  "Vendor ID | 1D7A",
                                                                  "Device ID | 4450",
                                                                  "SubVendor ID | 1D7A",
                                                                  "SubSystem ID | 0001",
                                                                  "Revision ID | 01",
                                                                  "IO Address | 1D000",
                                                                  "Memory Address | 000A0000",
                                                                  "Interrupt Number | 17"};
        QTest::newRow("link down, no address") << oneAdapter([](auto& a) { a.link(false).set("pci.irq", Json(5)); })
                                               << QStringList{"MAC Address | 00-1d-7a-00-00-01",
                                                              "IP Address | 0.0.0.0",
                                                              "Connection Name | Local Area Connection",
                                                              "VLAN ID | 0",
                                                              "Link Status | Disconnected",
                                                              "Device Location | Bus: 0001, Slot: 0000",
                                                              "Vendor ID | 1D7A",
                                                              "Device ID | 4450",
                                                              "SubVendor ID | 1D7A",
                                                              "SubSystem ID | 0001",
                                                              "Revision ID | 01",
                                                              "IO Address | D000",
                                                              "Memory Address | 00000000",
                                                              "Interrupt Number | 5"};
        MachineBuilder foreign;
        foreign.addForeignAdapter().link(true, 2500, "half").set("ip.address", Json("10.1.2.3"));
        QTest::newRow("another maker's kind at an odd speed") << foreign
                                                              << QStringList{"MAC Address | 00-1d-7a-00-00-01",
                                                                             "IP Address | 10.1.2.3",
                                                                             "Connection Name | Local Area Connection",
                                                                             "VLAN ID | 0",
                                                                             "Link Status | Unknow",
                                                                             "Duplex Mode | Half Duplex"};
    }

    void generalRows() {
        QFETCH(MachineBuilder, machine);
        QFETCH(QStringList, expected);
        QCOMPARE(pageRows(machine, "General", res::ctl::kGeneralList), expected);
    }

    void noAdapterSelectedLeavesGeneralEmpty() {
        DiagFixture fx;
        fx.start();
        QCOMPARE(fx.sheet().selectedAdapterIndex(), -1);
        kv::ui::PropertyPage* general = fx.activatePage("General");
        QVERIFY(general);
        QCOMPARE(fx.activePage(), general);
        QVERIFY(fx.listRows(res::ctl::kGeneralList).isEmpty());
    }

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

QTEST_MAIN(ConfiguredPagesTests)
#include "configured_pages_tests.moc"
