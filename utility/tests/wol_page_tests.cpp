// The Wake On LAN page: the three methods, the Ethernet field, the magic
// packet on the wire and the ping started for an IPv4 address or a NetBIOS name.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "framework/ip_address_control.h"
#include "pages/wol_page.h"
#include "resources/resource_ids.h"
#include "support/page_session.h"
#include "support/user_input.h"

using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;
namespace ctl = kv::diag::res::ctl;

namespace {

MachineBuilder oneAdapter() {
    MachineBuilder machine;
    machine.addAdapter(0x4450);
    return machine;
}

using Session = PageSession<CWOLPage>;

// The hexadecimal text of the frames written on the channel.
QStringList framesWritten() {
    QStringList frames;
    for (const std::string& line : kv::sim::testing::traced("write"))
        frames << QString::fromStdString(line).section(' ', 2);
    return frames;
}

QStringList tracedLines(std::string_view kind) {
    QStringList lines;
    for (const std::string& line : kv::sim::testing::traced(kind)) lines << QString::fromStdString(line);
    return lines;
}

QStringList checkedMethods(const Session& fx) {
    QStringList checked;
    for (int id : {ctl::kWolByEthernet, ctl::kWolByIp, ctl::kWolByNetBios})
        if (fx.control<QRadioButton>(id)->isChecked()) checked << fx.control<QRadioButton>(id)->text();
    return checked;
}

void wakeUp(Session& fx) { fx.control<QPushButton>(ctl::kWolWakeUp)->click(); }

}  // namespace

class WolPageTest : public QObject {
    Q_OBJECT

private slots:
    void typingAnEthernetAddressSendsItsMagicPacket() {
        Session fx(oneAdapter());
        auto* field = fx.control<QLineEdit>(ctl::kWolEthernetAddress);
        QTest::keyClicks(field, "00e0aabbccdd");
        QCOMPARE(field->text(), "00E0AABBCCDD");
        QCOMPARE(field->cursorPosition(), 12);
        QCOMPARE(checkedMethods(fx), QStringList{"Ethernet Address"});
        QTest::keyClicks(field, "ff");  // the field takes 12 characters at most
        QCOMPARE(field->text(), "00E0AABBCCDD");

        wakeUp(fx);
        const QStringList frames = framesWritten();
        QCOMPARE(frames.size(), 1);
        QVERIFY(frames[0].startsWith("ffffffffffff"));
        QVERIFY(frames[0].contains("ffffffffffff" + QString("00e0aabbccdd").repeated(16)));
    }

    // Only a complete address is woken: nothing leaves the adapter for a short or mistyped one.
    void anIncompleteAddressSendsNothing_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("eleven digits") << "00e0aabbccd";
        QTest::newRow("not hexadecimal") << "00e0aabbccgg";
        QTest::newRow("blank") << "00e0 abbccdd";
        QTest::newRow("empty") << "";
    }
    void anIncompleteAddressSendsNothing() {
        QFETCH(QString, typed);
        Session fx(oneAdapter());
        fx.control<QRadioButton>(ctl::kWolByEthernet)->click();
        QTest::keyClicks(fx.control<QLineEdit>(ctl::kWolEthernetAddress), typed);
        wakeUp(fx);
        QVERIFY(framesWritten().isEmpty());
    }

    void anIpAddressStartsOnePingHidden() {
        Session fx(oneAdapter());
        showActive(*fx.page);
        fx.control<kv::ui::IpAddressControl>(ctl::kWolIpAddress)->field(0)->setFocus();
        typeKeys("192.168.1.50");
        QCOMPARE(checkedMethods(fx), QStringList{"IP Address"});
        wakeUp(fx);
        QCOMPARE(tracedLines("start"), QStringList{"ping -n 1 192.168.1.50"});
        QCOMPARE(tracedLines("startmode"), QStringList{"ping hidden nowait"});
        QVERIFY(framesWritten().isEmpty());
    }

    // A pasted address keeps its twelve digits in the common spellings; typing stays hexadecimal.
    void aPastedAddressKeepsItsDigits_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dashes") << ""
                                << "00-1D-7A-44-50-99"
                                << "001D7A445099";
        QTest::newRow("colons, a line break after") << ""
                                                    << "00:1d:7a:44:50:99\n"
                                                    << "001D7A445099";
        QTest::newRow("thirteen digits are refused") << ""
                                                     << "00-1D-7A-44-50-99-0"
                                                     << "";
        QTest::newRow("typed separators are dropped") << "00-1d:7a z"
                                                      << ""
                                                      << "001D7A";
    }
    void aPastedAddressKeepsItsDigits() {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        Session fx(oneAdapter());
        auto* field = fx.control<QLineEdit>(ctl::kWolEthernetAddress);
        QTest::keyClicks(field, typed);
        QGuiApplication::clipboard()->setText(pasted);
        if (!pasted.isEmpty()) QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), shown);
        wakeUp(fx);
        QCOMPARE(framesWritten().size(), shown.size() == 12 ? 1 : 0);
    }

    void aNetBiosNameGoesToPingAsTyped() {
        Session fx(oneAdapter());
        QTest::keyClicks(fx.control<QLineEdit>(ctl::kWolNetBiosName), "Workshop PC \"2\"");
        QCOMPARE(checkedMethods(fx), QStringList{"NetBIOS Name"});
        wakeUp(fx);
        QCOMPARE(tracedLines("start"), QStringList{"ping -n 1 Workshop PC \"2\""});
        QCOMPARE(tracedLines("startmode"), QStringList{"ping hidden nowait"});
    }

    // The last method chosen wins; without one, "Wake Up" does nothing.
    void theChosenMethodDecides() {
        Session fx(oneAdapter());
        wakeUp(fx);
        QVERIFY(tracedLines("start").isEmpty());
        QVERIFY(framesWritten().isEmpty());

        QTest::keyClicks(fx.control<QLineEdit>(ctl::kWolEthernetAddress), "001d7a445099");
        QTest::keyClicks(fx.control<QLineEdit>(ctl::kWolNetBiosName), "WORKSHOP-PC");
        fx.control<QRadioButton>(ctl::kWolByEthernet)->click();
        QCOMPARE(checkedMethods(fx), QStringList{"Ethernet Address"});
        wakeUp(fx);
        QCOMPARE(framesWritten().size(), 1);
        QVERIFY(tracedLines("start").isEmpty());
    }
};

QTEST_MAIN(WolPageTest)
#include "wol_page_tests.moc"
