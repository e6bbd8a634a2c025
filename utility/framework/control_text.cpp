#include "framework/control_text.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kv::ui {

void setControlText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(text);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(control)) {
        // The platform's edits break lines at CR LF.
        QString lines = text;
        multi->setPlainText(lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable()) combo->setEditText(text);
    } else if (control) {
        control->setWindowTitle(text);
    }
}

QString controlText(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* multi = qobject_cast<const QPlainTextEdit*>(control)) {
        return multi->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    }
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
    return control ? control->windowTitle() : QString();
}

}  // namespace kv::ui
