// The pure helpers the pages call: the throughput rate and its text, the Wake On LAN page's
// Ethernet address, the advanced settings' numbers and the VLAN ID typed into the VLAN list.
#include <QTest>

#include "kv/jobs/ethernet_address.h"
#include "kv/jobs/library_text.h"
#include "kv/jobs/throughput.h"
#include "pages/vlan_id_text.h"

using namespace kv::diag;
using namespace kv::jobs;

class PageTextHelpersTest : public QObject {
    Q_OBJECT

private slots:
    void throughputText_data() {
        QTest::addColumn<double>("bytesPerSecond");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << 0.0 << "0.00 bps";
        QTest::newRow("128 B/s is not above 1024 bps") << 128.0 << "1024.00 bps";
        QTest::newRow("129 B/s") << 129.0 << "1.01 Kbps";
        QTest::newRow("131072 B/s is not above 1024 Kbps") << 131072.0 << "1024.00 Kbps";
        QTest::newRow("a little more") << 131100.0 << "1.00 Mbps";
        QTest::newRow("gigabit line rate") << 125000000.0 << "953.67 Mbps";
        QTest::newRow("no larger unit") << 1e12 << "7629394.53 Mbps";
    }
    void throughputText() {
        QFETCH(double, bytesPerSecond);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(formatThroughput(bytesPerSecond)), text);
    }

    void rateFromTotals_data() {
        QTest::addColumn<quint64>("previous");
        QTest::addColumn<quint64>("current");
        QTest::addColumn<double>("rate");
        QTest::newRow("no earlier reading") << quint64{0} << quint64{5000} << 0.0;
        QTest::newRow("half a second doubled") << quint64{1000} << quint64{1064} << 128.0;
        QTest::newRow("unchanged") << quint64{1000} << quint64{1000} << 0.0;
        QTest::newRow("went down (driver reset)") << quint64{5000} << quint64{10} << 0.0;
        QTest::newRow("past 32 bits") << quint64{0xFFFFFFF0} << quint64{0x100000010} << 64.0;
    }
    void rateFromTotals() {
        QFETCH(quint64, previous);
        QFETCH(quint64, current);
        QFETCH(double, rate);
        QCOMPARE(kv::jobs::rateFromTotals(previous, current), rate);
    }

    void ethernetAddress_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("upper case") << "00E0AABBCCDD" << true << QByteArray::fromHex("00e0aabbccdd");
        QTest::newRow("lower case") << "00e0aabbccdd" << true << QByteArray::fromHex("00e0aabbccdd");
        QTest::newRow("all ones") << "FFFFFFFFFFFF" << true << QByteArray::fromHex("ffffffffffff");
        QTest::newRow("empty") << "" << false << QByteArray();
        QTest::newRow("eleven digits") << "00E0AABBCCD" << false << QByteArray();
        QTest::newRow("thirteen digits") << "00E0AABBCCDD0" << false << QByteArray();
        QTest::newRow("not hexadecimal") << "00E0AABBCCDG" << false << QByteArray();
        QTest::newRow("blank inside") << "00E0 ABBCCDD" << false << QByteArray();
        QTest::newRow("separators") << "00-E0-AA-BB" << false << QByteArray();
        QTest::newRow("prefix") << "0x0E0AABBCCD" << false << QByteArray();
    }
    void ethernetAddress() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QByteArray, bytes);
        const auto address = parseEthernetAddress(text.toStdString());
        QCOMPARE(address.has_value(), valid);
        if (address) QCOMPARE(QByteArray(reinterpret_cast<const char*>(address->data()), 6), bytes);
    }

    void decimal_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "256" << true << 256;
        QTest::newRow("negative") << "-12" << true << -12;
        QTest::newRow("plus sign") << "+7" << true << 7;
        QTest::newRow("leading blanks") << "  \t64" << true << 64;
        QTest::newRow("trailing text ignored") << "64 frames" << true << 64;
        QTest::newRow("largest") << "2147483647" << true << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << true << int{INT32_MIN};
        QTest::newRow("one past the largest") << "2147483648" << false << 0;
        QTest::newRow("one below the smallest") << "-2147483649" << false << 0;
        QTest::newRow("many digits") << "99999999999999999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("text") << "auto" << false << 0;
        QTest::newRow("hexadecimal reads its 0") << "0x40" << true << 0;
    }
    void decimal() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto number = scanDecimal(text.toStdString());
        QCOMPARE(number.has_value(), valid);
        if (number) QCOMPARE(*number, value);
    }

    void vlanId_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("vlanId");  // 0: no VLAN ID
        QTest::newRow("lowest") << "1" << 1;
        QTest::newRow("highest") << "4094" << 4094;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("one past the highest") << "4095" << 0;
        QTest::newRow("negative") << "-5" << 0;
        QTest::newRow("letters after the number") << "12abc" << 12;
        QTest::newRow("blanks and a sign before it") << " \t+12" << 12;
        QTest::newRow("letters only") << "abc" << 0;
        QTest::newRow("letters first") << "a12" << 0;
        QTest::newRow("empty") << "" << 0;
        // A plain "%d" leaves these undefined; wrapped to 32 bits they would read 12.
        QTest::newRow("2^32 + 12") << "4294967308" << 0;
        QTest::newRow("far too many digits") << "1000000000000000000012" << 0;
    }
    void vlanId() {
        QFETCH(QString, text);
        QFETCH(int, vlanId);
        QCOMPARE(vlanIdFromText(text.toStdString()).value_or(0), vlanId);
    }
};

QTEST_APPLESS_MAIN(PageTextHelpersTest)
#include "page_text_helpers_tests.moc"
