// The Statistics page on the real main window: the counters and the three throughput rows, the
// refresh every 500 ms of virtual time while the page is shown, and the rate texts.
#include <QTest>

#include "app/page_table.h"
#include "framework/list_view.h"
#include "kv/sim/adapter/statistics.h"
#include "kv/sim/host.h"
#include "support/diag_fixture.h"

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

namespace {

constexpr int kList = 1036;
constexpr uint32_t kTick = 500;
constexpr uint32_t kStatisticsOid = 0x00020106;
constexpr uint32_t kXmitOkOid = 0x00020101;

// One 4450 whose byte totals grow at these rates.
MachineBuilder adapterWithRates(int64_t txBytesPerSecond, int64_t rxBytesPerSecond) {
    MachineBuilder machine;
    machine.addAdapter(0x4450)
        .set("statistics.txBytesPerSecond", Json(txBytesPerSecond))
        .set("statistics.rxBytesPerSecond", Json(rxBytesPerSecond));
    return machine;
}

// The value column of the row with that label; a null string when there is none.
QString valueOf(const DiagFixture& fx, const QString& label) {
    for (const QString& row : fx.listRows(kList))
        if (row.startsWith(label + " | ")) return row.mid(label.size() + 3);
    return {};
}

void setFailing(const std::vector<uint32_t>& oids) {
    kv::sim::Host::Call call(kv::sim::Host::get());
    call.host.machine().adapters.at(0)->faults.failingOids = oids;
}

// Writes a marker into the value column of the row with that label.
void markRow(DiagFixture& fx, const QString& label) {
    auto* list = fx.control<kv::ui::ListView>(kList);
    for (int row = 0; row < list->rowCount(); ++row)
        if (list->itemText(row, 0) == label) list->setItemText(row, 1, QStringLiteral("marked"));
}

}  // namespace

class StatisticsPageTest : public QObject {
    Q_OBJECT

private slots:
    void firstRefreshHasNoRateYet() {
        MachineBuilder machine = adapterWithRates(310000, 1250000);
        machine.adapter(0)
            .set("statistics.start.txFrames", Json(int64_t{240118}))
            .set("statistics.start.rxFrames", Json(int64_t{612034}))
            .set("statistics.start.rxErrors", Json(int64_t{4}));
        DiagFixture fx(machine);
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        QCOMPARE(fx.listRows(kList), QStringList({
                                         "Throughput(Send) | 0.00 bps",
                                         "Throughput(Receive) | 0.00 bps",
                                         "Throughput(Total) | 0.00 bps",
                                         "Packet Sent | 240118",
                                         "Packet Received | 612034",
                                         "Error(Send) | 0",
                                         "Error(Receive) | 4",
                                     }));
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Throughput(Send)"), "2.37 Mbps");
        QCOMPARE(valueOf(fx, "Throughput(Receive)"), "9.54 Mbps");
        QCOMPARE(valueOf(fx, "Throughput(Total)"), "11.90 Mbps");
    }

    void rateTexts_data() {
        QTest::addColumn<qint64>("txPerSecond");
        QTest::addColumn<qint64>("rxPerSecond");
        QTest::addColumn<QString>("send");
        QTest::addColumn<QString>("receive");
        QTest::addColumn<QString>("total");
        QTest::newRow("128 B/s is 1024 bps") << qint64{128} << qint64{0} << "1024.00 bps"
                                             << "0.00 bps"
                                             << "1024.00 bps";
        QTest::newRow("just above 1024 bps") << qint64{130} << qint64{128} << "1.02 Kbps"
                                             << "1024.00 bps"
                                             << "2.02 Kbps";
        QTest::newRow("131072 B/s is 1024 Kbps") << qint64{0} << qint64{131072} << "0.00 bps"
                                                 << "1024.00 Kbps"
                                                 << "1024.00 Kbps";
        QTest::newRow("a little more in Mbps") << qint64{131074} << qint64{0} << "1.00 Mbps"
                                               << "0.00 bps"
                                               << "1.00 Mbps";
    }
    void rateTexts() {
        QFETCH(qint64, txPerSecond);
        QFETCH(qint64, rxPerSecond);
        QFETCH(QString, send);
        QFETCH(QString, receive);
        QFETCH(QString, total);
        DiagFixture fx(adapterWithRates(txPerSecond, rxPerSecond));
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Throughput(Send)"), send);
        QCOMPARE(valueOf(fx, "Throughput(Receive)"), receive);
        QCOMPARE(valueOf(fx, "Throughput(Total)"), total);
    }

    void aTotalThatWentDownReadsNothing() {
        DiagFixture fx(adapterWithRates(1000, 0));
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Throughput(Send)"), "7.81 Kbps");
        {
            kv::sim::Host::Call call(kv::sim::Host::get());
            call.host.machine().adapters.at(0)->component<kv::sim::Statistics>()->restart();
        }
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Throughput(Send)"), "0.00 bps");
        fx.advance(2 * kTick);
        QCOMPARE(valueOf(fx, "Throughput(Send)"), "7.81 Kbps");
    }

    // Drivers up to version 606 count one send error too many.
    void sendErrorCorrection_data() {
        QTest::addColumn<QString>("driverVersion");
        QTest::addColumn<qint64>("reported");
        QTest::addColumn<QString>("shown");
        QTest::newRow("606") << "5.606.0.0" << qint64{5} << "4";
        QTest::newRow("606, none counted") << "5.606.0.0" << qint64{0} << "0";
        QTest::newRow("empty version counts as 601") << "" << qint64{5} << "4";
        QTest::newRow("607") << "5.607.0.0" << qint64{5} << "5";
        QTest::newRow("unknown version") << "beta" << qint64{5} << "5";
    }
    void sendErrorCorrection() {
        QFETCH(QString, driverVersion);
        QFETCH(qint64, reported);
        QFETCH(QString, shown);
        MachineBuilder machine;
        machine.addAdapter(0x4450).set("statistics.start.txErrors", Json(reported));
        machine.driverKey(0, {{"DriverVersion", driverVersion.toStdString()}});
        DiagFixture fx(machine);
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        QCOMPARE(valueOf(fx, "Error(Send)"), shown);
    }

    void aFailedByteTotalKeepsTheTotalFromTheLastRates() {
        DiagFixture fx(adapterWithRates(1000, 2000));
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Throughput(Total)"), "23.44 Kbps");
        setFailing({kStatisticsOid});
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Throughput(Send)"), "Unknown");
        QCOMPARE(valueOf(fx, "Throughput(Receive)"), "Unknown");
        QCOMPARE(valueOf(fx, "Throughput(Total)"), "23.44 Kbps");
        QVERIFY2(valueOf(fx, "Packet Sent") != "Unknown", "the counters come from their own queries");
    }

    // A counter row is written only when its value changed, or at the refresh of an activation.
    void anUnchangedCounterIsNotWrittenAgain() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).set("statistics.rxFramesPerSecond", Json(int64_t{100}));
        DiagFixture fx(machine);
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        markRow(fx, "Packet Sent");
        markRow(fx, "Packet Received");
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Packet Sent"), "marked");
        QCOMPARE(valueOf(fx, "Packet Received"), "50");
        QVERIFY(fx.activatePage("General"));
        QVERIFY(fx.activatePage("Statistics"));
        QCOMPARE(valueOf(fx, "Packet Sent"), "0");
    }

    // "Unknown" is no value: once the driver answers again, the row shows the value, even an
    // unchanged one.
    void aCounterIsShownAgainAfterAFailedQuery() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).set("statistics.start.txFrames", Json(int64_t{77}));
        DiagFixture fx(machine);
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        setFailing({kXmitOkOid});
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Packet Sent"), "Unknown");
        setFailing({});
        fx.advance(kTick);
        QCOMPARE(valueOf(fx, "Packet Sent"), "77");
    }

    // The timer keeps running on another page, but its ticks read nothing: the first rate after
    // coming back covers the whole time away, scaled as half a second.
    void ticksDoNothingWhileAnotherPageIsActive() {
        DiagFixture fx(adapterWithRates(1000, 0));
        fx.start(testEnvironment(), allPagesTable());
        QVERIFY(fx.activatePage("Statistics"));
        QVERIFY(fx.activatePage("General"));
        fx.advance(4 * kTick);
        QVERIFY(fx.activatePage("Statistics"));
        QCOMPARE(valueOf(fx, "Throughput(Send)"), "31.25 Kbps");
    }
};

QTEST_MAIN(StatisticsPageTest)
#include "statistics_page_tests.moc"
