// The Statistics page: the counters and the three throughput rows, the refresh every 500 ms of
// virtual time while the page is shown, and the rate texts.
#include <QTest>

#include "framework/list_view.h"
#include "kv/sim/adapter/statistics.h"
#include "kv/sim/host.h"
#include "pages/statistics_page.h"
#include "support/page_session.h"

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

namespace {

constexpr int kList = 1036;
constexpr uint32_t kTick = 500;
constexpr uint32_t kStatisticsOid = 0x00020106;
constexpr uint32_t kXmitOkOid = 0x00020101;

// One 4450 whose byte totals grow at these rates. The totals start above 0: a total of 0 counts
// as no earlier reading.
MachineBuilder adapterWithRates(int64_t txBytesPerSecond, int64_t rxBytesPerSecond) {
    MachineBuilder machine;
    machine.addAdapter(0x4450)
        .set("statistics.txBytesPerSecond", Json(txBytesPerSecond))
        .set("statistics.rxBytesPerSecond", Json(rxBytesPerSecond))
        .set("statistics.start.txBytes", Json(int64_t{4096}))
        .set("statistics.start.rxBytes", Json(int64_t{8192}));
    return machine;
}

using Session = PageSession<CStatisticsPage>;

void setFailing(const std::vector<uint32_t>& oids) {
    kv::sim::Host::Call call(kv::sim::Host::get());
    call.host.machine().adapters.at(0)->faults.failingOids = oids;
}

// Writes a marker into the value column of the row with that label.
void markRow(Session& s, const QString& label) {
    auto* list = s.control<kv::ui::ListView>(kList);
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
        Session s(machine);
        QCOMPARE(s.rows(kList), QStringList({
                                    "Throughput(Send) | 0.00 bps",
                                    "Throughput(Receive) | 0.00 bps",
                                    "Throughput(Total) | 0.00 bps",
                                    "Packet Sent | 240118",
                                    "Packet Received | 612034",
                                    "Error(Send) | 0",
                                    "Error(Receive) | 4",
                                }));
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Throughput(Send)"), "2.37 Mbps");
        QCOMPARE(s.valueOf(kList, "Throughput(Receive)"), "9.54 Mbps");
        QCOMPARE(s.valueOf(kList, "Throughput(Total)"), "11.90 Mbps");
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
        Session s(adapterWithRates(txPerSecond, rxPerSecond));
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Throughput(Send)"), send);
        QCOMPARE(s.valueOf(kList, "Throughput(Receive)"), receive);
        QCOMPARE(s.valueOf(kList, "Throughput(Total)"), total);
    }

    void aTotalThatWentDownReadsNothing() {
        Session s(adapterWithRates(1000, 0));
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Throughput(Send)"), "7.81 Kbps");
        {
            kv::sim::Host::Call call(kv::sim::Host::get());
            call.host.machine().adapters.at(0)->component<kv::sim::Statistics>()->restart();
        }
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Throughput(Send)"), "0.00 bps");
        s.advance(2 * kTick);
        QCOMPARE(s.valueOf(kList, "Throughput(Send)"), "7.81 Kbps");
    }

    // Drivers up to version 606 count one send error too many.
    void sendErrorCorrection_data() {
        QTest::addColumn<int>("driverVersion");
        QTest::addColumn<qint64>("reported");
        QTest::addColumn<QString>("shown");
        QTest::newRow("606") << 606 << qint64{5} << "4";
        QTest::newRow("606, none counted") << 606 << qint64{0} << "0";
        QTest::newRow("1") << 1 << qint64{5} << "4";
        QTest::newRow("607") << 607 << qint64{5} << "5";
        QTest::newRow("0") << 0 << qint64{5} << "5";
        QTest::newRow("unknown version") << -1 << qint64{5} << "5";
    }
    void sendErrorCorrection() {
        QFETCH(int, driverVersion);
        QFETCH(qint64, reported);
        QFETCH(QString, shown);
        MachineBuilder machine;
        machine.addAdapter(0x4450).set("statistics.start.txErrors", Json(reported));
        Session s(machine, driverVersion);
        QCOMPARE(s.valueOf(kList, "Error(Send)"), shown);
    }

    void aFailedByteTotalKeepsTheTotalFromTheLastRates() {
        Session s(adapterWithRates(1000, 2000));
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Throughput(Total)"), "23.44 Kbps");
        setFailing({kStatisticsOid});
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Throughput(Send)"), "Unknown");
        QCOMPARE(s.valueOf(kList, "Throughput(Receive)"), "Unknown");
        QCOMPARE(s.valueOf(kList, "Throughput(Total)"), "23.44 Kbps");
        QVERIFY2(s.valueOf(kList, "Packet Sent") != "Unknown", "the counters come from their own queries");
    }

    // A counter row is written only when its value changed, or at the refresh of an activation.
    void anUnchangedCounterIsNotWrittenAgain() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).set("statistics.rxFramesPerSecond", Json(int64_t{100}));
        Session s(machine);
        markRow(s, "Packet Sent");
        markRow(s, "Packet Received");
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Packet Sent"), "marked");
        QCOMPARE(s.valueOf(kList, "Packet Received"), "50");
        s.leave();
        s.comeBack();
        QCOMPARE(s.valueOf(kList, "Packet Sent"), "0");
    }

    // "Unknown" is no value: once the driver answers again, the row shows the value, even an
    // unchanged one.
    void aCounterIsShownAgainAfterAFailedQuery() {
        MachineBuilder machine;
        machine.addAdapter(0x4450).set("statistics.start.txFrames", Json(int64_t{77}));
        Session s(machine);
        setFailing({kXmitOkOid});
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Packet Sent"), "Unknown");
        setFailing({});
        s.advance(kTick);
        QCOMPARE(s.valueOf(kList, "Packet Sent"), "77");
    }

    // The timer keeps running on another page, but its ticks read nothing: the first rate after
    // coming back covers the whole time away, scaled as half a second.
    void ticksDoNothingWhileAnotherPageIsActive() {
        Session s(adapterWithRates(1000, 0));
        s.leave();
        s.advance(4 * kTick);
        s.comeBack();
        QCOMPARE(s.valueOf(kList, "Throughput(Send)"), "31.25 Kbps");
    }
};

QTEST_MAIN(StatisticsPageTest)
#include "statistics_page_tests.moc"
