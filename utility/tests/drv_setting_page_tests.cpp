// The Driver::Advanced Setting page: properties read from the driver's
// "Ndi\params" description, the value controls, and "Modify" writing every property into the
// driver key and reloading the driver.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "framework/worker_thread.h"
#include "kv/sim/host.h"
#include "pages/drv_setting_page.h"
#include "resources/resource_ids.h"
#include "support/page_session.h"

using kv::sim::Json;
using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;
namespace ctl = kv::diag::res::ctl;

namespace {

const std::string kDriverKey =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0000";

// .reg text of one advanced property: its description key, and its "enum" key when given.
std::string describe(const std::string& name, const std::string& lines, const std::string& enumLines = {}) {
    std::string text = "[" + kDriverKey + "\\Ndi\\params\\" + name + "]\r\n" + lines + "\r\n";
    if (!enumLines.empty()) text += "[" + kDriverKey + "\\Ndi\\params\\" + name + "\\enum]\r\n" + enumLines + "\r\n";
    return text;
}

const std::string kFlowControl = describe("*FlowControl", "\"ParamDesc\"=\"Flow Control\"\r\n\"type\"=\"enum\"",
                                          "\"0\"=\"Disabled\"\r\n\"1\"=\"Tx Enabled\"\r\n\"3\"=\"Rx & Tx Enabled\"");
const std::string kReceiveBuffers = describe(
    "*ReceiveBuffers", "\"ParamDesc\"=\"Receive Buffers\"\r\n\"type\"=\"int\"\r\n\"min\"=\"64\"\r\n\"max\"=\"512\"");
const std::string kNetworkAddress =
    describe("NetworkAddress", "\"ParamDesc\"=\"Network Address\"\r\n\"type\"=\"edit\"\r\n\"Optional\"=\"1\"");

// One 4450 whose driver key holds these values and these property descriptions.
using Values = std::vector<std::pair<std::string, std::string>>;
MachineBuilder driverWith(const Values& values, const std::string& properties) {
    MachineBuilder machine;
    machine.addAdapter(0x4450);
    std::string key = "[" + kDriverKey + "]\r\n\"NetCfgInstanceId\"=\"" + MachineBuilder::guidOf(0) + "\"\r\n";
    for (const auto& [name, data] : values) key += "\"" + name + "\"=\"" + data + "\"\r\n";
    machine.registry(key);
    machine.registry("[" + kDriverKey + "\\Ndi\\params]\r\n");
    machine.registry(properties);
    return machine;
}

// A string value as the registry trace shows it: UTF-16LE with the terminator, in hex.
QString regText(const QString& text) {
    QString hex;
    for (QChar c : text) hex += QString::asprintf("%02x%02x", c.unicode() & 0xFF, c.unicode() >> 8);
    return hex + "0000";
}

// The writes into the driver key itself ("<name> <type> <hex>" or "<name> (deleted)"), and those
// into the properties' own keys ("<property> <type> <hex>").
QStringList driverKeyWrites() {
    QStringList writes;
    const QString prefix = QString::fromStdString(kDriverKey) + " ";
    for (const std::string& line : kv::sim::testing::traced("regwrite")) {
        const QString text = QString::fromStdString(line);
        if (text.startsWith(prefix, Qt::CaseInsensitive)) writes << text.mid(prefix.size());
    }
    return writes;
}
QStringList propertyKeyWrites() {
    QStringList writes;
    const QString prefix = QString::fromStdString(kDriverKey) + "\\Ndi\\params\\";
    for (const std::string& line : kv::sim::testing::traced("regwrite")) {
        const QString text = QString::fromStdString(line);
        if (text.startsWith(prefix, Qt::CaseInsensitive)) writes << text.mid(prefix.size()).replace("  ", " ");
    }
    return writes;
}

class Page {
public:
    explicit Page(MachineBuilder machine) : fx(std::move(machine)), page(fx.page) {
        boxesBefore = fx.boxTexts().size();
    }
    // The message boxes since the page was first shown.
    QStringList newBoxes() const { return fx.boxTexts().mid(boxesBefore); }
    QStringList properties() const {
        QStringList names;
        auto* list = fx.control<QListWidget>(ctl::kSettingList);
        for (int row = 0; row < list->count(); ++row) names << list->item(row)->text();
        return names;
    }
    // Picks the property as the user does; `occurrence` counts properties of the same name.
    void choose(const QString& name, int occurrence = 0) {
        auto* list = fx.control<QListWidget>(ctl::kSettingList);
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->text() == name && occurrence-- == 0) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
                break;
            }
    }
    QLineEdit* edit(int id) const { return fx.control<QLineEdit>(id); }
    bool isChecked(int id) const { return fx.control<QRadioButton>(id)->isChecked(); }
    bool isShown(int id) const { return fx.control<QWidget>(id)->isVisibleTo(page); }
    // "Modify" reloads the driver on a worker the window watches: the click returns once it ended.
    void click(int id) {
        fx.control<QAbstractButton>(id)->click();
        if (const kv::ui::WorkerHandle worker = fx.harness.watch().worker) {
            while (!worker->hasEnded()) QCoreApplication::processEvents();
        }
    }

    PageSession<CDrvSettingPage> fx;
    kv::ui::PropertyPage* page = nullptr;
    qsizetype boxesBefore = 0;
};

}  // namespace

class DrvSettingPageTest : public QObject {
    Q_OBJECT

private slots:
    void theListIsSortedByDisplayNameAndShowsTheFirst() {
        Page p(driverWith({{"*FlowControl", "3"}, {"*ReceiveBuffers", "256"}},
                          kReceiveBuffers + kNetworkAddress + kFlowControl +
                              describe("NoType", "\"ParamDesc\"=\"Mystery\"") +
                              describe("NoDesc", "\"type\"=\"int\"")));
        QVERIFY(p.page);
        QCOMPARE(p.properties(),
                 QStringList({"Flow Control", "Mystery", "Network Address", "Receive Buffers", "Unknown"}));
        QVERIFY(p.isShown(ctl::kSettingEnum));
        QVERIFY(!p.isShown(ctl::kSettingNumber) && !p.isShown(ctl::kSettingText) && !p.isShown(ctl::kSettingHasValue));
        auto* combo = p.fx.control<QComboBox>(ctl::kSettingEnum);
        QCOMPARE(combo->currentText(), "Rx & Tx Enabled");
        // The box shows its longest value whole, whatever the font: as wide as Qt finds its contents.
        QVERIFY2(combo->width() >= combo->sizeHint().width(), qPrintable(QString::number(combo->width())));
        QVERIFY(combo->width() >= 100);
        // A type the page has no control for shows no value area at all.
        p.choose("Mystery");
        QVERIFY(!p.isShown(ctl::kSettingEnum) && !p.isShown(ctl::kSettingNumber) && !p.isShown(ctl::kSettingText));
    }

    void aNumberWithoutRangeStaysZeroAndIsWrittenAsZero() {
        Page p(driverWith({{"Speed", "100"}}, describe("Speed", "\"ParamDesc\"=\"Speed\"\r\n\"type\"=\"long\"")));
        QCOMPARE(p.edit(ctl::kSettingNumber)->text(), "0");
        p.click(ctl::kSettingModify);
        QCOMPARE(driverKeyWrites(), QStringList{"Speed 1 " + regText("0")});
    }

    void aNumberOutsideTheRangeIsPutBackAtTheNextSwitch() {
        Page p(driverWith({{"*ReceiveBuffers", "256"}, {"*FlowControl", "0"}}, kReceiveBuffers + kFlowControl));
        p.choose("Receive Buffers");
        QCOMPARE(p.edit(ctl::kSettingNumber)->text(), "256");
        p.edit(ctl::kSettingNumber)->setText("1000");
        p.choose("Flow Control");
        p.choose("Receive Buffers");
        QCOMPARE(p.edit(ctl::kSettingNumber)->text(), "256");
        p.edit(ctl::kSettingNumber)->setText("128");
        p.choose("Flow Control");
        p.choose("Receive Buffers");
        QCOMPARE(p.edit(ctl::kSettingNumber)->text(), "128");
        p.click(ctl::kSettingModify);
        QCOMPARE(driverKeyWrites(),
                 QStringList({"*ReceiveBuffers 1 " + regText("128"), "*FlowControl 1 " + regText("0")}));
    }

    void anEnumValueMatchingNothingIsNotWritten() {
        Page p(driverWith({{"*FlowControl", "7"}}, kFlowControl));
        QCOMPARE(p.fx.control<QComboBox>(ctl::kSettingEnum)->currentIndex(), -1);
        p.click(ctl::kSettingModify);
        QVERIFY(driverKeyWrites().isEmpty());
        auto* combo = p.fx.control<QComboBox>(ctl::kSettingEnum);
        combo->setCurrentIndex(combo->findText("Tx Enabled"));
        p.click(ctl::kSettingModify);
        QCOMPARE(driverKeyWrites(), QStringList{"*FlowControl 1 " + regText("1")});
    }

    // "Not Present" leaves the value out; typing gives it one again, in upper case.
    void anOptionalValueMissingOpensAsNotPresent() {
        Page p(driverWith({}, kNetworkAddress));
        QVERIFY(p.isShown(ctl::kSettingText) && p.isShown(ctl::kSettingHasValue) && p.isShown(ctl::kSettingNotPresent));
        QVERIFY(p.isChecked(ctl::kSettingNotPresent));
        p.click(ctl::kSettingModify);
        QVERIFY2(driverKeyWrites().isEmpty(), "deleting the absent value fails without a trace or a message");
        QVERIFY(!p.newBoxes().contains("???"));

        QTest::keyClicks(p.edit(ctl::kSettingText), "001d7a");
        QCOMPARE(p.edit(ctl::kSettingText)->text(), "001D7A");
        QCOMPARE(p.edit(ctl::kSettingText)->cursorPosition(), 6);
        QVERIFY(p.isChecked(ctl::kSettingHasValue));
        p.click(ctl::kSettingModify);
        QCOMPARE(driverKeyWrites().last(), "NetworkAddress 1 " + regText("001D7A"));

        p.click(ctl::kSettingNotPresent);
        QVERIFY2(p.isChecked(ctl::kSettingNotPresent), "emptying the field is no typing");
        QCOMPARE(p.edit(ctl::kSettingText)->text(), "");
        p.click(ctl::kSettingModify);
        QCOMPARE(driverKeyWrites().last(), "NetworkAddress (deleted)");
    }

    void twoPropertiesWithTheSameNameKeepTheirOwnValues() {
        const std::string range = "\"type\"=\"int\"\r\n\"min\"=\"0\"\r\n\"max\"=\"100\"";
        Page p(driverWith({{"SpeedA", "10"}, {"SpeedB", "20"}},
                          describe("SpeedA", "\"ParamDesc\"=\"Speed\"\r\n" + range) +
                              describe("SpeedB", "\"ParamDesc\"=\"Speed\"\r\n" + range)));
        QCOMPARE(p.properties(), QStringList({"Speed", "Speed"}));
        QCOMPARE(p.edit(ctl::kSettingNumber)->text(), "10");
        p.edit(ctl::kSettingNumber)->setText("11");
        p.choose("Speed", 1);
        QCOMPARE(p.edit(ctl::kSettingNumber)->text(), "20");
        p.edit(ctl::kSettingNumber)->setText("22");
        p.choose("Speed", 0);
        QCOMPARE(p.edit(ctl::kSettingNumber)->text(), "11");
        p.click(ctl::kSettingModify);
        QCOMPARE(driverKeyWrites(), QStringList({"SpeedA 1 " + regText("11"), "SpeedB 1 " + regText("22")}));
    }

    // Only systems of the Windows 98 family keep the value in the property's own key as well.
    void thePropertyKeyIsWrittenOnWindows98Only_data() {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QStringList>("propertyWrites");
        QTest::newRow("NT 6.0") << "nt" << 0 << QStringList();
        QTest::newRow("98") << "9x" << 10 << QStringList{"*FlowControl 1 " + regText("3")};
        QTest::newRow("95") << "9x" << 0 << QStringList();
    }
    void thePropertyKeyIsWrittenOnWindows98Only() {
        QFETCH(QString, platform);
        QFETCH(int, minor);
        QFETCH(QStringList, propertyWrites);
        MachineBuilder machine = driverWith({{"*FlowControl", "3"}}, kFlowControl);
        machine.set("os.platform", Json(platform.toStdString()))
            .set("os.major", Json(int64_t{platform == "nt" ? 6 : 4}))
            .set("os.minor", Json(int64_t{minor}));
        Page p(std::move(machine));
        p.click(ctl::kSettingModify);
        QCOMPARE(driverKeyWrites(), QStringList{"*FlowControl 1 " + regText("3")});
        QCOMPARE(propertyKeyWrites(), propertyWrites);
    }

    // A property whose key cannot be opened for writing is reported and skipped; the others are
    // written, and the driver is reloaded and given 3000 ms.
    void aPropertyKeyThatDoesNotOpenIsReportedAndTheDriverReloaded() {
        Page p(driverWith({{"*FlowControl", "3"}, {"*ReceiveBuffers", "256"}}, kFlowControl + kReceiveBuffers));
        {
            kv::sim::Host::Call call(kv::sim::Host::get());
            QVERIFY(call.host.machine().registry.remove(
                QString::fromStdString(kDriverKey + "\\Ndi\\params\\*FlowControl").toStdU16String()));
        }
        p.click(ctl::kSettingModify);
        QCOMPARE(p.newBoxes().count("???"), 1);
        QCOMPARE(driverKeyWrites(), QStringList{"*ReceiveBuffers 1 " + regText("256")});
        QVERIFY(!kv::sim::testing::traced("propchange").empty());
        const auto sleeps = kv::sim::testing::traced("sleep");
        QVERIFY(!sleeps.empty());
        QCOMPARE(sleeps.back(), "3000");
    }

    void withoutPropertiesModifyStillReloads() {
        MachineBuilder machine;
        machine.addAdapter(0x4450);
        Page p(std::move(machine));
        QVERIFY(p.properties().isEmpty());
        QVERIFY(!p.isShown(ctl::kSettingEnum) && !p.isShown(ctl::kSettingNumber) && !p.isShown(ctl::kSettingText));
        p.click(ctl::kSettingModify);
        QVERIFY(driverKeyWrites().isEmpty());
        QVERIFY(!kv::sim::testing::traced("propchange").empty());
    }
};

QTEST_MAIN(DrvSettingPageTest)
#include "drv_setting_page_tests.moc"
