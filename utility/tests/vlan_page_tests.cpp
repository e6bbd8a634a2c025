// The VLAN page in the real main window: the default machine, whose 4450 carries VLANs 10 and 20
// (with its driver raised to a version that carries VLANs), and built machines. The rows, the
// driver version gate, the label edits only the buttons start, the range and the confirmations,
// and the add, delete and change workers under the window's worker watch, on the virtual clock.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <string>

#include "app/page_table.h"
#include "framework/list_view.h"
#include "kelvalib.h"
#include "pages/vlan_page.h"
#include "resources/resource_ids.h"
#include "support/diag_fixture.h"
#include "support/page_machines.h"

using kv::sim::testing::MachineBuilder;
using namespace kv::diag;
using namespace kv::diag::testing;

namespace {

namespace ctl = res::ctl;

constexpr char kTooOld[] = "You have to update the network adapter driver to Version 5.611 or later.";
constexpr char kOutOfRange[] = "Please input VLAN ID in the range: 1 ~ 4094.";
constexpr uint32_t kWatchPeriodMs = 5000;

// A 4450 without VLANs, its driver new enough.
MachineBuilder machineWithoutVlans() {
    MachineBuilder machine;
    machine.addAdapter(0x4450);
    machine.driverKey(0, {{"DriverDesc", "Tavrick 4450"},
                          {"DriverVersion", "5.611.0.0"},
                          {"DriverDate", "11-24-2009"},
                          {"ProviderName", "Tavrick"},
                          {"InfPath", "oem3.inf"}});
    return machine;
}

// The window on the machine, the VLAN page of adapter 0 active.
struct VlanWindow {
    explicit VlanWindow(MachineBuilder machine, QMessageBox::StandardButton answer = QMessageBox::NoButton)
        : fx(std::move(machine), answer) {
        fx.start(testEnvironment(), allPagesTable());
        fx.activatePage("VLAN");
    }

    kv::ui::ListView& list() const { return *fx.control<kv::ui::ListView>(ctl::kVlanList); }
    QStringList rows() const { return fx.listRows(ctl::kVlanList); }
    void click(int id) {
        fx.control<QPushButton>(id)->click();
        fx.deliverPosted();
    }
    void selectRow(int row) {
        list().selectRow(row);
        fx.deliverPosted();
    }
    // Types the text into the label being edited and ends the edit with Enter.
    void type(const QString& text) {
        QLineEdit* editor = list().labelEditor();
        QVERIFY(editor);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        fx.deliverPosted();
    }
    bool busy() const { return fx.sheet().workerWatch().watching(); }
    // The watched worker ends, then the watch's next tick gives the user the window back.
    void finishWork() {
        fx.finishWatchedWorker();
        QVERIFY(busy());
        fx.advance(kWatchPeriodMs);
        QVERIFY(!busy());
        QVERIFY(fx.sheet().uiEnabled());
    }

    DiagFixture fx;
};

}  // namespace

// The rows of the default machine's 4450.
const QStringList kDefaultRows = {"10 | Local Area Connection 5 | Tavrick VLAN Virtual Adapter",
                                  "20 | Local Area Connection 6 | Tavrick VLAN Virtual Adapter", " |  | "};

enum class Button { Add, ModifyVid, Delete };

class VlanPageTest : public QObject {
    Q_OBJECT

private slots:
    void theSelectedAdaptersVlansThenTheEmptyRow() {
        VlanWindow w(defaultMachineWithDriver());
        QCOMPARE(w.rows(), kDefaultRows);
        QCOMPARE(w.list().itemData(0), intptr_t(4));  // the VLANs' adapter list entries
        QCOMPARE(w.list().itemData(1), intptr_t(5));
        const int tenth = w.list().clientWidth() / 10;
        QCOMPARE(w.list().columnWidth(0), 2 * tenth);
        QCOMPARE(w.list().columnWidth(1), 4 * tenth);
        QCOMPARE(w.list().columnWidth(2), 4 * tenth + 150);
        // The adapter itself is the library's current one again: it tags no VLAN.
        uint32_t vlanId = 99;
        QCOMPARE(API_GetVID(&vlanId), 1);
        QCOMPARE(vlanId, 0u);
        QCOMPARE(w.fx.boxTexts(), QStringList());
    }

    void anAdapterWithoutVlansHasOnlyTheEmptyRow() {
        VlanWindow w(machineWithoutVlans());
        QCOMPARE(w.rows(), QStringList{" |  | "});
        for (const int row : {-1, 0}) {  // nothing selected, then the empty row
            if (row >= 0) w.selectRow(row);
            w.click(ctl::kVlanDelete);
            w.click(ctl::kVlanModifyVid);
            QVERIFY(!w.list().isEditingLabel());
        }
        QCOMPARE(w.fx.boxTexts(), QStringList());
        QVERIFY(!w.busy());
    }

    void theDriverVersionGate_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("shown");
        QTest::newRow("610") << "5.610.0.0" << 610 << false;
        QTest::newRow("611") << "5.611.0.0" << 611 << true;
        QTest::newRow("first number lower") << "4.611.0.0" << 611 << true;
        QTest::newRow("first number higher") << "6.610.0.0" << 610 << false;
        QTest::newRow("unknown") << "beta" << -1 << false;
    }
    void theDriverVersionGate() {
        QFETCH(QString, version);
        QFETCH(int, number);
        QFETCH(bool, shown);
        VlanWindow w(defaultMachineWithDriver(version.toStdString()));
        QCOMPARE(w.fx.sheet().driverVersionNumber(), number);
        QCOMPARE(w.fx.activePage()->caption(), shown ? QStringLiteral("VLAN") : QStringLiteral("General"));
        QCOMPARE(w.fx.boxTexts(), shown ? QStringList() : QStringList{kTooOld});
    }

    void onlyTheButtonsStartALabelEdit() {
        VlanWindow w(defaultMachineWithDriver());
        w.selectRow(0);
        QTest::keyClick(&w.list(), Qt::Key_F2);  // the user's own edit
        QVERIFY(!w.list().isEditingLabel());
        w.click(ctl::kVlanModifyVid);
        QCOMPARE(w.list().editingRow(), 0);
        QTest::keyClick(w.list().labelEditor(), Qt::Key_Escape);
        QVERIFY(!w.list().isEditingLabel());
        QTest::keyClick(&w.list(), Qt::Key_F2);  // the cancelled edit ended the button's turn
        QVERIFY(!w.list().isEditingLabel());
        w.click(ctl::kVlanAdd);
        QCOMPARE(w.list().editingRow(), 2);
        QTest::keyClick(w.list().labelEditor(), Qt::Key_Escape);
        w.selectRow(2);
        w.click(ctl::kVlanModifyVid);  // the empty row carries no VLAN
        QVERIFY(!w.list().isEditingLabel());
        QCOMPARE(w.rows(), kDefaultRows);
        QCOMPARE(w.fx.boxTexts(), QStringList());
    }

    void idsOutsideTheRangeAreRefused_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        for (const char* text : {"0", "4095", "abc", "99999999999"}) {
            QTest::addRow("add %s", text) << int(Button::Add) << text;
            QTest::addRow("modify %s", text) << int(Button::ModifyVid) << text;
        }
    }
    void idsOutsideTheRangeAreRefused() {
        QFETCH(int, button);
        QFETCH(QString, text);
        VlanWindow w(defaultMachineWithDriver());
        w.selectRow(0);
        w.click(Button(button) == Button::Add ? ctl::kVlanAdd : ctl::kVlanModifyVid);
        w.type(text);
        QCOMPARE(w.fx.boxTexts(), QStringList{kOutOfRange});
        QCOMPARE(w.rows(), kDefaultRows);
        QVERIFY(!w.busy());
    }

    void answeredNoNothingStarts_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("question");
        QTest::newRow("add") << int(Button::Add) << "Do you want add VLAN 30?";
        QTest::newRow("modify") << int(Button::ModifyVid) << "Change VLAN ID from 10 to 30?";
        QTest::newRow("delete") << int(Button::Delete) << "Do you want delete VLAN 10?";
    }
    void answeredNoNothingStarts() {
        QFETCH(int, button);
        QFETCH(QString, question);
        VlanWindow w(defaultMachineWithDriver(), QMessageBox::No);
        w.selectRow(0);
        const int ids[] = {ctl::kVlanAdd, ctl::kVlanModifyVid, ctl::kVlanDelete};
        w.click(ids[button]);
        if (Button(button) != Button::Delete) w.type(QStringLiteral("30"));
        QCOMPARE(w.fx.boxTexts(), QStringList{question});
        QCOMPARE(w.rows(), kDefaultRows);
        QVERIFY(!w.busy());
        QVERIFY(w.fx.traced("device").empty());
    }

    // Text after the number is ignored: "12abc" adds VLAN 12.
    void addingInstallsTheVlanAndTheListIsRebuiltAfterTheWatchTick() {
        VlanWindow w(defaultMachineWithDriver());
        w.click(ctl::kVlanAdd);
        w.type(QStringLiteral("12abc"));
        QCOMPARE(w.fx.boxTexts(), QStringList{"Do you want add VLAN 12?"});
        QVERIFY(w.busy());
        QVERIFY(!w.fx.activePage()->isEnabled());
        w.finishWork();
        QCOMPARE(w.fx.traced("device"),
                 (std::vector<std::string>{"register ROOT\\TVX_VLAN\\0007 tvx_vlan", "install ROOT\\TVX_VLAN\\0007 ok",
                                           "start ROOT\\TVX_VLAN\\0007 ok"}));
        // The window listed the adapters again and showed the pages anew.
        QCOMPARE(w.fx.activePage()->caption(), QStringLiteral("General"));
        w.fx.activatePage("VLAN");
        QCOMPARE(w.rows(), (QStringList{kDefaultRows[0], kDefaultRows[1],
                                        "12 | Local Area Connection 7 | Tavrick VLAN Virtual Adapter", " |  | "}));
    }

    void deletingRemovesTheVlanAndTheListIsRebuiltAfterTheWatchTick() {
        VlanWindow w(defaultMachineWithDriver());
        w.selectRow(0);
        w.click(ctl::kVlanDelete);
        QCOMPARE(w.fx.boxTexts(), QStringList{"Do you want delete VLAN 10?"});
        QVERIFY(w.busy());
        w.finishWork();
        QCOMPARE(w.fx.traced("device"), std::vector<std::string>{"remove ROOT\\TVX_VLAN\\0005"});
        QCOMPARE(w.fx.activePage()->caption(), QStringLiteral("General"));
        w.fx.activatePage("VLAN");
        QCOMPARE(w.rows(), (QStringList{kDefaultRows[1], " |  | "}));
    }

    void changingAnIdShowsItAtOnceWithoutARefresh() {
        VlanWindow w(defaultMachineWithDriver());
        w.selectRow(1);
        w.click(ctl::kVlanModifyVid);
        w.type(QStringLiteral("25"));
        QCOMPARE(w.fx.boxTexts(), QStringList{"Change VLAN ID from 20 to 25?"});
        QCOMPARE(w.list().itemText(1, 0), QStringLiteral("25"));
        w.finishWork();
        QCOMPARE(w.fx.activePage()->caption(), QStringLiteral("VLAN"));
        // The ID is kept in the VLAN's driver key ("25" in UTF-16).
        const std::vector<std::string> writes = w.fx.traced("regwrite");
        QCOMPARE(writes.size(), size_t(1));
        QVERIFY(writes[0].ends_with("\\0006 VlanID 1 320035000000"));
        w.fx.activatePage("VLAN");  // read again
        QCOMPARE(w.rows(), (QStringList{kDefaultRows[0], "25 | Local Area Connection 6 | Tavrick VLAN Virtual Adapter",
                                        " |  | "}));
    }

    // A VLAN that can no longer be selected (gone behind the page): the page asks for the adapter
    // list again and stops there, without the empty row.
    void aVlanThatCannotBeSelectedEndsTheActivation() {
        VlanWindow w(defaultMachineWithDriver());
        QCOMPARE(API_DelVlan(4), 1);
        w.fx.activatePage("General");
        w.fx.activatePage("VLAN");
        QCOMPARE(w.fx.activePage()->caption(), QStringLiteral("VLAN"));
        QCOMPARE(w.rows(), QStringList());
        w.fx.advance(100);  // the refresh
        QCOMPARE(w.fx.activePage()->caption(), QStringLiteral("General"));
    }

    void aRefusedChangeListsTheAdaptersAgainOnceTheWorkerHasEnded() {
        VlanWindow w(defaultMachineWithDriver());
        QCOMPARE(API_DelVlan(5), 1);  // VLAN 20 goes away behind the page
        w.selectRow(1);
        w.click(ctl::kVlanModifyVid);
        w.type(QStringLiteral("33"));
        w.fx.finishWatchedWorker();
        // The refresh the worker asked for waits while the watch holds the window.
        QCOMPARE(w.fx.activePage()->caption(), QStringLiteral("VLAN"));
        QVERIFY(w.busy());
        QCOMPARE(w.fx.boxTexts().value(0), QStringLiteral("Change VLAN ID from 20 to 33?"));
        w.fx.advance(kWatchPeriodMs);
        QVERIFY(!w.busy());
        QCOMPARE(w.fx.activePage()->caption(), QStringLiteral("General"));
        w.fx.activatePage("VLAN");
        QCOMPARE(w.rows(), (QStringList{kDefaultRows[0], " |  | "}));
        // The page the change disabled is usable again, though another page was active at the end.
        QVERIFY(w.fx.activePage()->isEnabled());
    }
};

QTEST_MAIN(VlanPageTest)
#include "vlan_page_tests.moc"
