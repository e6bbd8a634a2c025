// The "General" page: its rows, their conditions and formats, the live queries, and the guard
// around the selected adapter at activation and deactivation; its rows in the main window too.
#include <QtTest>

#include "framework/list_view.h"
#include "framework/property_page.h"
#include "kelvalib.h"
#include "kv/protocol.h"
#include "pages/general_info_page.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/page_harness.h"
#include "support/page_machines.h"
#include "support/trace_queries.h"

Q_DECLARE_METATYPE(kv::sim::testing::MachineBuilder)

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using kv::sim::testing::traced;
using namespace kv::diag;
using namespace kv::diag::testing;

namespace {

MachineBuilder pciAdapterMachine() {
    MachineBuilder machine;
    machine.addAdapter(0x4450)
        .set("mac", Json("00-1D-7A-AB-CD-EF"))
        .set("ip.address", Json("192.168.1.20"))
        .set("pci.bus", Json(2))
        .set("pci.slot", Json(3))
        .set("pci.subSystem", Json("0x0450"))
        .set("pci.io", Json("0x1D000"))
        .set("pci.memory", Json("0xA0000"))
        .set("pci.irq", Json(17))
        .set("vlanId", Json(2 * 65536 + 7));
    return machine;
}

QStringList rowsStartingWith(const QStringList& rows, const QStringList& labels) {
    QStringList out;
    for (const QString& row : rows)
        for (const QString& label : labels)
            if (row.startsWith(label + QStringLiteral(" |"))) out << row;
    return out;
}

}  // namespace

class GeneralInfoPageTests : public QObject {
    Q_OBJECT

    std::unique_ptr<PageHarness> harness;
    CGeneralInfoPage* page = nullptr;

    QStringList rows() const { return listRows(*page->control<kv::ui::ListView>(res::ctl::kGeneralList)); }

    void start(MachineBuilder machine, int adapter = 0) {
        harness.reset();
        harness = std::make_unique<PageHarness>(std::move(machine));
        QVERIFY(harness->selectAdapter(adapter));
        page = &harness->host<CGeneralInfoPage>();
        kv::sim::Host::get().trace().clear();
    }

private slots:
    void cleanup() { harness.reset(); }

    void eachLiveQueryIsMadeOnce() {
        start(pciAdapterMachine());
        QVERIFY(harness->activate());
        QCOMPARE(requestsFor(kv::protocol::OID_GEN_MEDIA_CONNECT_STATUS), size_t(1));
        QCOMPARE(requestsFor(kv::protocol::OID_GEN_LINK_SPEED), size_t(1));
        QCOMPARE(requestsFor(kv::protocol::OID_GEN_LINK_STATE), size_t(1));
        QCOMPARE(requestsFor(kv::protocol::OID_GEN_VLAN_ID), size_t(1));
        // The record's rows come from the selection, not from the adapter again.
        QCOMPARE(requestsFor(kv::protocol::OID_TVX_ADAPTER_INFO), size_t(0));
    }

    void linkRows_data() {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("duplex");
        QTest::addColumn<QString>("failingOid");
        QTest::addColumn<QStringList>("expected");
        const QString none;
        QTest::newRow("link down") << false << 100 << "full" << none << QStringList{"Link Status | Disconnected"};
        QTest::newRow("10 half") << true << 10 << "half" << none
                                 << QStringList{"Link Status | 10 Mbps", "Duplex Mode | Half Duplex"};
        QTest::newRow("100 full") << true << 100 << "full" << none
                                  << QStringList{"Link Status | 100 Mbps", "Duplex Mode | Full Duplex"};
        QTest::newRow("odd speed") << true << 2500 << "full" << none
                                   << QStringList{"Link Status | Unknow", "Duplex Mode | Full Duplex"};
        QTest::newRow("duplex undetermined")
            << true << 1000 << "unknown" << none << QStringList{"Link Status | 1.0 Gbps", "Duplex Mode | Half Duplex"};
        QTest::newRow("speed query fails") << true << 1000 << "full"
                                           << "0x00010107" << QStringList{"Duplex Mode | Full Duplex"};
        QTest::newRow("duplex query fails") << true << 1000 << "full"
                                            << "0x00010207" << QStringList{"Link Status | 1.0 Gbps"};
        QTest::newRow("link query fails") << true << 1000 << "full"
                                          << "0x00010114" << QStringList{"Link Status | Disconnected"};
    }

    void linkRows() {
        QFETCH(bool, up);
        QFETCH(int, speed);
        QFETCH(QString, duplex);
        QFETCH(QString, failingOid);
        QFETCH(QStringList, expected);
        MachineBuilder machine;
        auto& adapter = machine.addAdapter(0x4450).link(up, static_cast<uint32_t>(speed), duplex.toStdString());
        if (!failingOid.isEmpty()) {
            Json oids = Json::array();
            oids.push_back(Json(failingOid.toStdString()));
            adapter.fault("failingOids", oids);
        }
        start(std::move(machine));
        QVERIFY(harness->activate());
        const QStringList all = rows();
        QCOMPARE(rowsStartingWith(all, {"Link Status", "Duplex Mode"}), expected);
        // The link rows come after the VLAN row and right before the PCI rows.
        QVERIFY(all.at(3).startsWith(QStringLiteral("VLAN ID |")));
        QCOMPARE(all.mid(4, expected.size()), expected);
        QVERIFY(all.at(4 + expected.size()).startsWith(QStringLiteral("Device Location |")));
    }

    void aKindWithoutAddressNeverAsksForIt() {
        start(pciAdapterMachine());
        harness->adapterRecord().ChipClass = 0x18;
        QVERIFY(harness->activate());
        QVERIFY(rowsStartingWith(rows(), {"IP Address"}).isEmpty());
        QVERIFY(traced("iphelper").empty());
        QCOMPARE(rows().first(), QStringLiteral("MAC Address | 00-1d-7a-ab-cd-ef"));
    }

    void pciRowsFollowTheKindBits_data() {
        QTest::addColumn<uint32_t>("chipClass");
        QTest::addColumn<bool>("pciRows");
        QTest::newRow("0x02") << 0x02u << true;
        QTest::newRow("0x04") << 0x04u << true;
        QTest::newRow("0x08") << 0x08u << true;
        QTest::newRow("0x80") << 0x80u << true;
        QTest::newRow("0x00") << 0x00u << false;
        QTest::newRow("0x10") << 0x10u << false;
        QTest::newRow("0x71") << 0x71u << false;
    }

    void pciRowsFollowTheKindBits() {
        QFETCH(uint32_t, chipClass);
        QFETCH(bool, pciRows);
        start(pciAdapterMachine());
        harness->adapterRecord().ChipClass = chipClass;
        QVERIFY(harness->activate());
        const QStringList all = rows();
        if (pciRows) {
            QCOMPARE(all.last(), QStringLiteral("Interrupt Number | 17"));
        } else {
            QCOMPARE(all.last(), QStringLiteral("Duplex Mode | Full Duplex"));
        }
    }

    void withoutAReadyAdapterTheListStaysEmpty_data() {
        QTest::addColumn<bool>("select");
        QTest::addColumn<int>("ready");
        QTest::newRow("no adapter selected") << false << 1;
        QTest::newRow("page set not ready") << true << 0;
    }

    void withoutAReadyAdapterTheListStaysEmpty() {
        QFETCH(bool, select);
        QFETCH(int, ready);
        harness = std::make_unique<PageHarness>(pciAdapterMachine());
        if (select) QVERIFY(harness->selectAdapter(0));
        harness->setAdapterReady(ready);
        page = &harness->host<CGeneralInfoPage>();
        kv::sim::Host::get().trace().clear();
        QVERIFY(harness->activate());
        QVERIFY(rows().isEmpty());
        QVERIFY(traced("ioctl").empty());
        QVERIFY(harness->leave());
        QCOMPARE(harness->refreshRequests(), 0);
    }

    void anAdapterGoneAtActivationAsksForTheRefresh() {
        start(pciAdapterMachine());
        QVERIFY(harness->activate());
        API_Close();
        QVERIFY(harness->activate());
        QVERIFY(rows().isEmpty());
        QCOMPARE(harness->refreshRequests(), 1);
    }

    void leavingEmptiesTheListWhileTheAdapterIsThere() {
        start(pciAdapterMachine());
        QVERIFY(harness->activate());
        QVERIFY(harness->leave());
        QVERIFY(rows().isEmpty());
        QCOMPARE(harness->refreshRequests(), 0);
    }

    void leavingAGoneAdapterAsksForTheRefresh() {
        start(pciAdapterMachine());
        QVERIFY(harness->activate());
        const qsizetype shown = rows().size();
        API_Close();
        QVERIFY(harness->leave());
        QCOMPARE(rows().size(), shown);
        QCOMPARE(harness->refreshRequests(), 1);
    }

    // In the main window, as the page table places the page.
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
};

QTEST_MAIN(GeneralInfoPageTests)
#include "general_info_page_tests.moc"
