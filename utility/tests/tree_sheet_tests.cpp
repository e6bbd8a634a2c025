// The tree sheet with plain pages: the tree built from the page titles, selection by tree item,
// keyboard moves, the page frame's caption band and the sheet's geometry.
#include <QtTest>

#include "framework/control_id.h"
#include "framework/visual_styles.h"
#include "sheet/themed_sheet_frame.h"
#include "sheet/tree_sheet.h"
#include "support/test_host.h"
#include "support/test_pages.h"

using namespace kv::diag;
using kv::diag::testing::TestPage;
using kv::ui::ImageList;
using kv::ui::TreeControl;

namespace {

ImageList imagesOf(int count) {
    ImageList images(QSize(16, 16));
    for (int i = 0; i < count; ++i) {
        QPixmap image(16, 16);
        image.fill(QColor::fromHsv(i * 60, 255, 255));
        images.add(image);
    }
    return images;
}

// A tree sheet with pages of these titles, its window created and shown.
struct TestSheet {
    explicit TestSheet(const QStringList& titles, bool captions = true, bool treeImages = true)
        : pages(testing::makePages(titles)), sheet(QStringLiteral("Tree sheet")) {
        sheet.SetTreeMode(true, captions, treeImages);
        sheet.SetDefaultTreeImages(imagesOf(2));
        for (const auto& page : pages) sheet.addPage(page.get());
        sheet.createWindow();
        sheet.show();
    }
    TreeControl& tree() const { return *sheet.PageTreeCtrl(); }
    QTreeWidgetItem* item(const QString& text) const {
        const auto found = tree().findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    void ctrlTab(Qt::KeyboardModifiers extra = Qt::NoModifier) const {
        QTest::keyClick(&tree(), Qt::Key_Tab, Qt::ControlModifier | extra);
    }

    std::vector<std::unique_ptr<TestPage>> pages;
    CTreeSheet sheet;
};

}  // namespace

class TreeSheetTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::installMachine(); }
    void cleanup() {
        kv::ui::VisualStyles::forceActive(std::nullopt);
        kv::ui::VisualStyles::forceTabPaneFailure(false);
    }

    void titlesSharingAPartShareAnInnerNode_data() {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("driverData");
        QTest::addColumn<int>("childData");
        QTest::addColumn<int>("driverImage");  // from the end of the images list: 1 no-icon, 2 inner node
        QTest::newRow("page first") << QStringList{"Driver", "Driver::Advanced Setting"} << 0 << 1 << 1;
        QTest::newRow("child first") << QStringList{"Driver::Advanced Setting", "Driver"} << 1 << 0 << 1;
    }
    void titlesSharingAPartShareAnInnerNode() {
        QFETCH(QStringList, titles);
        QFETCH(int, driverData);
        QFETCH(int, childData);
        QFETCH(int, driverImage);
        const TestSheet test(titles);
        TreeControl& tree = test.tree();
        QCOMPARE(tree.topLevelItemCount(), 1);
        QTreeWidgetItem* driver = tree.firstRoot();
        QCOMPARE(tree.itemText(driver), QStringLiteral("Driver"));
        QCOMPARE(tree.itemData(driver), driverData);
        QCOMPARE(driver->childCount(), 1);
        QCOMPARE(tree.itemText(driver->child(0)), QStringLiteral("Advanced Setting"));
        QCOMPARE(tree.itemData(driver->child(0)), childData);
        const int images = test.sheet.treeImages().count();
        QCOMPARE(images, 2);
        QCOMPARE(tree.itemImage(driver), images - driverImage);
        QCOMPARE(tree.itemImage(driver->child(0)), images - 1);
    }

    void anInnerNodeOfItsOwnGetsTheInnerNodeImageAndNoPage() {
        const TestSheet test({"Driver::Advanced Setting"});
        QTreeWidgetItem* driver = test.tree().firstRoot();
        QCOMPARE(test.tree().itemData(driver), -1);
        QCOMPARE(test.tree().itemImage(driver), 0);
        QCOMPARE(test.tree().itemData(driver->child(0)), 0);
    }

    void pathsSplitAtUnescapedSeparators_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("rest");
        QTest::newRow("no separator") << "General"
                                      << "General"
                                      << "";
        QTest::newRow("one separator") << "Driver::Advanced Setting"
                                       << "Driver"
                                       << "Advanced Setting";
        QTest::newRow("escaped, then a separator") << "A\\::B::C"
                                                   << "A::B"
                                                   << "C";
        QTest::newRow("escaped, nothing after: kept as it is") << "A\\::B"
                                                               << "A\\::B"
                                                               << "";
        QTest::newRow("escaped backslash before a separator") << "A\\\\::B"
                                                              << "A\\"
                                                              << "B";
        QTest::newRow("leading separator dropped") << "::A::B"
                                                   << "A"
                                                   << "B";
    }
    void pathsSplitAtUnescapedSeparators() {
        QFETCH(QString, path);
        QFETCH(QString, part);
        QFETCH(QString, rest);
        const auto split = CTreeSheet::splitPageTreePath(path);
        QCOMPARE(split.first, part);
        QCOMPARE(split.second, rest);
    }

    void anEscapedSeparatorStaysInsideOneItem() {
        const TestSheet test({"Tests\\::Loopback::PHY"});
        QTreeWidgetItem* root = test.tree().firstRoot();
        QCOMPARE(test.tree().itemText(root), QStringLiteral("Tests::Loopback"));
        QCOMPARE(test.tree().itemText(root->child(0)), QStringLiteral("PHY"));
        QCOMPARE(test.tree().itemData(root->child(0)), 0);
    }

    void selectingAnInnerNodeHidesThePageAndShowsTheEmptyPageText_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("message");
        QTest::newRow("default format") << ""
                                        << "";
        QTest::newRow("format with the name") << "Choose a page of %s (100%%)"
                                              << "Choose a page of Driver (100%)";
    }
    void selectingAnInnerNodeHidesThePageAndShowsTheEmptyPageText() {
        QFETCH(QString, format);
        QFETCH(QString, message);
        TestSheet test({"General", "Driver::Advanced Setting"});
        test.sheet.setEmptyPageFormat(format);
        test.pages[0]->refuseKillActive = false;
        QVERIFY(!test.pages[0]->isHidden());
        test.pages[1]->setActiveCalls = 0;

        QVERIFY(test.tree().selectItem(test.item("Driver")));
        QVERIFY(test.pages[0]->isHidden());
        QVERIFY(test.pages[1]->isHidden());
        QCOMPARE(test.tree().selectedItem(), test.item("Driver"));
        QCOMPARE(test.sheet.pageFrame()->message(), message);
        QCOMPARE(test.sheet.pageFrame()->title(), QStringLiteral("Driver"));

        QVERIFY(test.tree().selectItem(test.item("Advanced Setting")));
        QCOMPARE(test.sheet.activeIndex(), 1);
        QVERIFY(!test.pages[1]->isHidden());
        QCOMPARE(test.sheet.pageFrame()->title(), QStringLiteral("Advanced Setting"));
    }

    void aPageRefusingToBeLeftKeepsItsItem() {
        TestSheet test({"General", "Driver"});
        QCOMPARE(test.tree().selectedItem(), test.item("General"));
        test.pages[0]->refuseKillActive = true;
        // By code and by the user's click alike.
        QVERIFY(!test.tree().selectItem(test.item("Driver")));
        QTest::mouseClick(test.tree().viewport(), Qt::LeftButton, {},
                          test.tree().visualItemRect(test.item("Driver")).center());
        QCOMPARE(test.tree().selectedItem(), test.item("General"));
        QCOMPARE(test.sheet.activeIndex(), 0);
        QVERIFY(!test.pages[0]->isHidden());
        QVERIFY(test.pages[1]->isHidden());

        test.pages[0]->refuseKillActive = false;
        QTest::mouseClick(test.tree().viewport(), Qt::LeftButton, {},
                          test.tree().visualItemRect(test.item("Driver")).center());
        QCOMPARE(test.tree().selectedItem(), test.item("Driver"));
        QCOMPARE(test.sheet.activeIndex(), 1);
    }

    void aPageRefusingActivationLeavesTheOldPage() {
        TestSheet test({"General", "VLAN"});
        test.pages[1]->refuseSetActive = true;
        QVERIFY(!test.tree().selectItem(test.item("VLAN")));
        QCOMPARE(test.tree().selectedItem(), test.item("General"));
        QCOMPARE(test.sheet.activeIndex(), 0);
        QVERIFY(!test.pages[0]->isHidden());
        QVERIFY(test.pages[1]->isHidden());
    }

    void ctrlTabWalksTheTreeAndWraps() {
        TestSheet test({"General", "Driver", "Driver::Advanced Setting", "Driver::Advanced Setting::More"});
        QVERIFY(test.tree().selectItem(test.item("More")));
        test.ctrlTab();
        QCOMPARE(test.tree().selectedItem(), test.item("General"));
        QCOMPARE(test.sheet.activeIndex(), 0);
        test.ctrlTab(Qt::ShiftModifier);
        QCOMPARE(test.tree().selectedItem(), test.item("More"));
        QCOMPARE(test.sheet.activeIndex(), 3);
        test.ctrlTab(Qt::ShiftModifier);
        QCOMPARE(test.tree().selectedItem(), test.item("Advanced Setting"));
        test.ctrlTab(Qt::ShiftModifier);
        QCOMPARE(test.tree().selectedItem(), test.item("Driver"));
        test.ctrlTab();
        QCOMPARE(test.tree().selectedItem(), test.item("Advanced Setting"));
    }

    void withoutTheTreeCtrlTabMovesThePageIndex() {
        auto pages = testing::makePages({"A", "B", "C"});
        CTreeSheet sheet(QStringLiteral("Tabs"));
        QVERIFY(sheet.SetTreeMode(false, true, true));
        for (const auto& page : pages) sheet.addPage(page.get());
        sheet.createWindow();
        sheet.show();
        QVERIFY(!sheet.PageTreeCtrl());
        QVERIFY(!sheet.tabControl()->isHidden());
        QTest::keyClick(&sheet, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(sheet.activeIndex(), 2);
        QTest::keyClick(&sheet, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(sheet.activeIndex(), 0);
    }

    void defaultTreeImagesAreExactlyTwo() {
        CTreeSheet sheet(QStringLiteral("Images"));
        QVERIFY(!sheet.SetDefaultTreeImages(imagesOf(3)));
        QVERIFY(!sheet.SetDefaultTreeImages(imagesOf(1)));
        QCOMPARE(sheet.defaultTreeImages().count(), 0);
        QVERIFY(sheet.SetDefaultTreeImages(imagesOf(2)));
        QCOMPARE(sheet.defaultTreeImages().count(), 2);
    }

    void pageIconsComeBeforeTheDefaultImages() {
        auto pages = testing::makePages({"General", "Driver"});
        const ImageList icons = imagesOf(1);
        SetPageIcon(*pages[1], icons, 0);
        SetPageIcon(*pages[0], icons, 5);  // no such image: no icon
        QVERIFY(pages[1]->hasOwnIcon());
        QVERIFY(!pages[0]->hasOwnIcon());
        CTreeSheet sheet(QStringLiteral("Icons"));
        sheet.SetTreeMode(true, true, true);
        sheet.SetDefaultTreeImages(imagesOf(2));
        for (const auto& page : pages) sheet.addPage(page.get());
        sheet.createWindow();
        QCOMPARE(sheet.treeImages().count(), 3);
        TreeControl& tree = *sheet.PageTreeCtrl();
        QCOMPARE(tree.itemImage(sheet.FindPageTreeItem(0)), 2);
        QCOMPARE(tree.itemImage(sheet.FindPageTreeItem(1)), 0);
        QVERIFY(sheet.setActivePage(1));
        QCOMPARE(sheet.pageFrame()->title(), QStringLiteral("Driver"));
        QVERIFY(!sheet.pageFrame()->titleIcon().isNull());
    }

    void modeAndWidthAreSetOnlyBeforeTheWindowExists() {
        TestSheet test({"General"});
        QVERIFY(!test.sheet.SetTreeMode(false, false, false));
        QVERIFY(!test.sheet.SetPageTreeWidth(90));
        QVERIFY(test.sheet.isTreeMode());
        QCOMPARE(test.sheet.pageTreeWidth(), 150);
        QVERIFY(!test.sheet.FindPageTreeItem(1));
        QVERIFY(!test.sheet.FindPageTreeItem(-1));
    }

    void theTreeTakesAStripAtTheLeft_data() {
        QTest::addColumn<bool>("captions");
        QTest::newRow("with captions") << true;
        QTest::newRow("without captions") << false;
    }
    void theTreeTakesAStripAtTheLeft() {
        QFETCH(bool, captions);
        auto pages = testing::makePages({"General"});
        kv::ui::PropertySheet plain(QStringLiteral("Plain"));
        plain.addPage(pages[0].get());
        plain.createWindow();
        const QRect pageArea = plain.tabControl()->geometry();
        const QSize plainSize = plain.size();
        plain.destroyWindow();
        plain.removePage(0);

        CTreeSheet sheet(QStringLiteral("Tree"));
        sheet.SetTreeMode(true, captions, true);
        sheet.SetPageTreeWidth(120);
        sheet.addPage(pages[0].get());
        sheet.createWindow();
        const int band = sheet.pageFrame()->captionBarHeight();
        QVERIFY(band > 0);
        const int shift = captions ? 0 : band;
        QCOMPARE(sheet.size(), QSize(plainSize.width() + 120, plainSize.height() - shift));

        auto* tree = kv::ui::findControl<TreeControl>(&sheet, 32494);
        QCOMPARE(tree, sheet.PageTreeCtrl());
        QCOMPARE(tree->objectName(), QStringLiteral("PageTree"));
        QCOMPARE(tree->geometry(), QRect(pageArea.left(), pageArea.top(), 120 - 5, pageArea.height() - shift));

        QWidget* frame = sheet.pageFrame()->Window();
        QCOMPARE(kv::ui::controlId(frame), 0xFFFF);
        QCOMPARE(frame->geometry(),
                 QRect(pageArea.left() + 120, pageArea.top(), pageArea.width(), pageArea.height() - shift));
        QCOMPARE(sheet.pageFrame()->isCaptionVisible(), captions);
        QVERIFY(sheet.tabControl()->isHidden());
        QVERIFY(!sheet.tabControl()->isEnabled());
    }

    void theCaptionBandFollowsTheVisualStyles_data() {
        QTest::addColumn<bool>("styles");
        QTest::addColumn<bool>("themeOpens");
        QTest::newRow("styles off") << false << true;
        QTest::newRow("styles on") << true << true;
        QTest::newRow("styles on, theme missing") << true << false;
    }
    void theCaptionBandFollowsTheVisualStyles() {
        QFETCH(bool, styles);
        QFETCH(bool, themeOpens);
        kv::ui::VisualStyles::forceActive(styles);
        kv::ui::VisualStyles::forceTabPaneFailure(!themeOpens);
        const TestSheet test({"General"});
        CSheetFrame& frame = *test.sheet.pageFrame();
        const QRect client = frame.Window()->rect();
        const int band = frame.captionBarHeight();
        const auto pane = kv::ui::VisualStyles::openTabPane(frame.Window());
        if (!styles) {
            QCOMPARE(frame.CaptionRect(), QRect(0, 0, client.width(), band));
            QCOMPARE(frame.MessageRect(), QRect(0, band + 1, client.width(), client.height() - band - 1));
        } else if (!themeOpens) {
            QCOMPARE(frame.CaptionRect(), client);
            QCOMPARE(frame.MessageRect(), client);
        } else {
            const QRect content = pane->contentRect(client);
            QCOMPARE(frame.CaptionRect(), winRect(content.left(), content.top(), rightOf(content), band));
            QCOMPARE(frame.MessageRect(), winRect(content.left(), band + 1, rightOf(content), bottomOf(content)));
        }
    }

    void theCaptionBandRunsFromTheInactiveCaptionColourToTheBackground() {
        kv::ui::VisualStyles::forceActive(false);
        const TestSheet test({"General"});
        auto* frame = dynamic_cast<CThemedSheetFrame*>(test.sheet.pageFrame());
        QVERIFY(frame);
        const QImage image = frame->renderFrame();
        const QRect band = frame->CaptionRect();
        const QColor background = frame->palette().color(QPalette::Button);
        QCOMPARE(image.pixelColor(band.left(), band.top()), inactiveCaptionColour());
        // The last column is one step short of the background colour.
        const QColor last = image.pixelColor(band.right(), band.bottom());
        QVERIFY(std::abs(last.red() - background.red()) <= 2 && std::abs(last.green() - background.green()) <= 2 &&
                std::abs(last.blue() - background.blue()) <= 2);
        QVERIFY(last != inactiveCaptionColour());
        // Below the band the background shows.
        QCOMPARE(image.pixelColor(band.right(), band.bottom() + 2).rgb(), background.rgb());
    }
};

QTEST_MAIN(TreeSheetTests)
#include "tree_sheet_tests.moc"
