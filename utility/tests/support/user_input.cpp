#include "support/user_input.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace kv::diag::testing {

void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
}

void typeKeys(const QString& keys) {
    for (const QChar key : keys) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) QFAIL("no widget has the focus");
        switch (key.unicode()) {
            case '<':
                QTest::keyClick(focus, Qt::Key_Left);
                break;
            case '>':
                QTest::keyClick(focus, Qt::Key_Right);
                break;
            case '\b':
                QTest::keyClick(focus, Qt::Key_Backspace);
                break;
            case '^':
                QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
                break;
            default:
                QTest::keyClick(focus, key.toLatin1());
        }
    }
}

}  // namespace kv::diag::testing
