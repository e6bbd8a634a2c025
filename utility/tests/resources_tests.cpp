// The resources: menu 134, the tree sheet's default images, and the page templates' controls.
#include <QtTest>
#include <set>

#include "framework/image_list.h"
#include "framework/menu_template.h"
#include "resources/dialog_templates.h"
#include "resources/images.h"
#include "resources/menus.h"
#include "resources/resource_ids.h"

using namespace kv::diag;

class ResourcesTests : public QObject {
    Q_OBJECT

private slots:
    void theNicsMenuHoldsItsCommandsInOrder() {
        const kv::ui::MenuTemplate* menu = menuResource(res::kMenuNics);
        QVERIFY(menu);
        QCOMPARE(QString::fromLatin1(menu->popups.at(0).text.data()), QStringLiteral("NicsMenu"));
        const auto popup = kv::ui::buildPopupMenu(menu->popups.at(0));
        QStringList items;
        for (const QAction* action : popup->actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : QString::number(kv::ui::commandId(*action)));
        }
        QCOMPARE(items, QStringList({"32788", "-", "32771", "32772", "-", "32782", "32784"}));
        QCOMPARE(kv::ui::findCommand(*popup, res::kCmdStartUpLaunch)->text(),
                 QStringLiteral("Enable  Start Up Launch"));
        QVERIFY(!kv::ui::findCommand(*popup, 1));
    }

    void theTreeBitmapCutsIntoTwoMaskedImages() {
        const kv::ui::ImageList images =
            kv::ui::ImageList::fromStrip(loadBitmap(res::kBitmapTreeImages), 16, bitmapMaskColour());
        QCOMPARE(images.count(), 2);
        QCOMPARE(images.imageSize(), QSize(16, 16));
        // The corner is mask colour: transparent.
        QCOMPARE(images.image(0).toImage().pixelColor(0, 0).alpha(), 0);
        QCOMPARE(loadBitmap(res::kBitmapGeneral).size(), QSize(32, 32));
        QVERIFY(!loadIcon(res::kIconProgram).isNull());
    }

    void everyTemplateHoldsItsControlsOnceAndInside_data() {
        QTest::addColumn<int>("id");
        for (int id : {res::kDialogGeneral, res::kDialogDriver, res::kDialogCable, res::kDialogDiagnostics,
                       res::kDialogSendReceive, res::kDialogWakeOnLan, res::kDialogAdvancedSetting,
                       res::kDialogStatistics, res::kDialogVlan, res::kDialogGreenFeature}) {
            QTest::newRow(QByteArray::number(id).constData()) << id;
        }
    }
    void everyTemplateHoldsItsControlsOnceAndInside() {
        QFETCH(int, id);
        const kv::ui::DialogTemplate* dialog = dialogTemplate(id);
        QVERIFY(dialog);
        QCOMPARE(dialog->id, id);
        const QRect area(0, 0, dialog->width, dialog->height);
        std::set<int> ids;
        for (const kv::ui::ControlTemplate& control : dialog->controls) {
            QVERIFY2(area.contains(QRect(control.x, control.y, control.width, control.height)),
                     qPrintable(QStringLiteral("control %1").arg(control.id)));
            if (control.id != kv::ui::kNoControlId) QVERIFY(ids.insert(control.id).second);
        }
    }
};

QTEST_MAIN(ResourcesTests)
#include "resources_tests.moc"
