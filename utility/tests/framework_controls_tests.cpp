// The framework's controls under the user's keys and pointer: trees that scroll instead of
// eliding and show a cut item whole in a tip, the report list's tips and Ctrl+C, and the IPv4
// address control moving between its fields as it is typed into.
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

#include "app/adapter_tree.h"
#include "framework/ip_address_control.h"
#include "framework/list_view.h"
#include "framework/tree_control.h"
#include "support/test_host.h"
#include "support/user_input.h"

using namespace kv::ui;
using kv::diag::testing::showActive;
using kv::diag::testing::typeKeys;

namespace {

constexpr char kLongName[] = "Tavrick PCI-E Gigabit Ethernet Controller 4450";

// Lets the pointer rest at `pos` of the view: the tip event the pointer's rest brings, after any
// tip of an earlier rest is gone. Returns the tip shown (empty for none).
QString restPointer(QAbstractItemView& view, QPoint pos) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel")) delete widget;
    QTest::mouseMove(view.viewport(), pos);
    QHelpEvent rest(QEvent::ToolTip, pos, view.viewport()->mapToGlobal(pos));
    QCoreApplication::sendEvent(view.viewport(), &rest);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

QStringList fieldTexts(const IpAddressControl& control) {
    QStringList texts;
    for (int i = 0; i < IpAddressControl::kFields; ++i) texts << control.field(i)->text();
    return texts;
}

}  // namespace

class FrameworkControlsTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kv::diag::testing::installMachine(); }

    // The page tree and the adapter tree alike.
    void treesScrollAndShowACutItemWhole_data() {
        QTest::addColumn<bool>("adapterTree");
        QTest::newRow("page tree") << false;
        QTest::newRow("adapter tree") << true;
    }
    void treesScrollAndShowACutItemWhole() {
        QFETCH(bool, adapterTree);
        QWidget window;
        window.resize(400, 300);
        QTreeWidget* tree =
            adapterTree ? static_cast<QTreeWidget*>(new kv::diag::AdapterTree(&window)) : new TreeControl(&window);
        tree->setGeometry(0, 0, 120, 200);
        for (const char* text : {"General", kLongName}) tree->addTopLevelItem(new QTreeWidgetItem({text}));
        showActive(window);

        const QRect shortItem = tree->visualItemRect(tree->topLevelItem(0));
        const QRect longItem = tree->visualItemRect(tree->topLevelItem(1));
        // The column takes the widest item: the tree scrolls to it instead of eliding it.
        QVERIFY(tree->horizontalScrollBar()->maximum() > 0);
        QVERIFY(tree->columnWidth(0) > tree->viewport()->width());
        QVERIFY(tree->fontMetrics().horizontalAdvance(kLongName) < longItem.width());

        QCOMPARE(restPointer(*tree, shortItem.topLeft() + QPoint(5, 2)), QString());
        QCOMPARE(restPointer(*tree, longItem.topLeft() + QPoint(5, 2)), QString(kLongName));
    }

    void listCellsShowTheirTipsAndCopyAsText_data() {
        QTest::addColumn<int>("valueWidth");
        QTest::addColumn<QString>("infoTip");
        QTest::addColumn<QString>("tip");
        QTest::newRow("fits") << 400 << ""
                              << "";
        QTest::newRow("elided") << 60 << "" << kLongName;
        QTest::newRow("the row's info tip first") << 60 << "The adapter's name"
                                                  << "The adapter's name";
    }
    void listCellsShowTheirTipsAndCopyAsText() {
        QFETCH(int, valueWidth);
        QFETCH(QString, infoTip);
        QFETCH(QString, tip);
        ListView list;
        list.setInfoTips(true);
        list.setFullRowSelect(true);
        list.setHeaderHidden(true);
        list.addColumn(QStringLiteral("Label"), 80);
        list.addColumn(QStringLiteral("Hidden"), 40);
        list.addColumn(QStringLiteral("Value"), valueWidth);
        list.setColumnHidden(1, true);
        for (const auto& [label, value] :
             {std::pair{"Description", kLongName}, {"Speed", "1000 Mbps"}, {"Duplex", "Full"}}) {
            const int row = list.appendRow(QString::fromLatin1(label));
            list.setItemText(row, 1, QStringLiteral("x"));
            list.setItemText(row, 2, QString::fromLatin1(value));
        }
        list.onInfoTip = [&](int row) { return row == 0 ? infoTip : QString(); };
        list.resize(600, 200);
        showActive(list);

        const QRect name = list.visualRect(list.model()->index(0, 2));
        QCOMPARE(restPointer(list, name.center()), tip);
        QCOMPARE(restPointer(list, list.visualRect(list.model()->index(2, 2)).center()), QString());

        // The user picks the last row, then the first with Ctrl, and copies.
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(2, 0)).center());
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, name.center());
        QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("Description\t%1\nDuplex\tFull").arg(kLongName));
    }

    void theAddressControlFollowsTheKeys_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("boxes");
        const QStringList none;
        const QString outOfRange = QStringLiteral("%1 is not a valid entry. Please specify a value between 0 and 255.");
        QTest::newRow("dots") << ""
                              << "192.168.1.50" << QStringList{"192", "168", "1", "50"} << none;
        QTest::newRow("a dot ends a short number") << ""
                                                   << "10.1" << QStringList{"10", "1", "", ""} << none;
        QTest::newRow("a dot in an empty field stays") << ""
                                                       << "10..5" << QStringList{"10", "5", "", ""} << none;
        QTest::newRow("three digits move on") << ""
                                              << "1921681050" << QStringList{"192", "168", "105", "0"} << none;
        QTest::newRow("a value that cannot grow moves on") << ""
                                                           << "26255" << QStringList{"26", "255", "", ""} << none;
        QTest::newRow("above 255 is clamped")
            << ""
            << "256.7" << QStringList{"255", "7", "", ""} << QStringList{outOfRange.arg(256)};
        QTest::newRow("backspace in an empty field goes back") << ""
                                                               << "10.\b0.7" << QStringList{"100", "7", "", ""} << none;
        QTest::newRow("arrows at a field's edge") << ""
                                                  << "1.2<<0>5" << QStringList{"10", "52", "", ""} << none;
        QTest::newRow("a pasted address fills all four fields") << " 192.168.1.50\n"
                                                                << "^" << QStringList{"192", "168", "1", "50"} << none;
        QTest::newRow("other pasted text is refused") << "10.1.x"
                                                      << "7^" << QStringList{"7", "", "", ""} << none;
    }
    void theAddressControlFollowsTheKeys() {
        QFETCH(QString, clipboard);
        QFETCH(QString, keys);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, boxes);
        kv::diag::testing::BoxAnswerer answerer;
        QGuiApplication::clipboard()->setText(clipboard);
        QWidget window;
        IpAddressControl control(&window);
        control.setGeometry(0, 0, 200, 24);
        showActive(window);
        control.field(0)->setFocus();
        QCOMPARE(QApplication::focusWidget(), control.field(0));

        typeKeys(keys);
        QCOMPARE(fieldTexts(control), fields);
        QStringList shown;
        for (const auto& box : answerer.boxes()) shown << box.text;
        QCOMPARE(shown, boxes);
    }
};

QTEST_MAIN(FrameworkControlsTests)
#include "framework_controls_tests.moc"
