#include "framework/dialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "framework/ansi_text.h"
#include "framework/control_text.h"
#include "framework/dialog_builder.h"
#include "framework/ip_address_control.h"
#include "framework/string_lists.h"

namespace kv::ui {

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QWidget(parent), template_(dialogTemplate), timers_([this](int id) { onTimer(id); }) {
    setWindowTitle(fromAnsi(template_.caption));
}

Dialog::~Dialog() = default;

QSize Dialog::templateSize() const { return baseUnits().toPixels(QSize(template_.width, template_.height)); }

void Dialog::createWindow() {
    if (hasWindow_) return;
    resize(templateSize());
    for (const BuiltControl& built : buildControls(*this, template_, baseUnits())) controls_.push_back(built.widget);
    connectCommands();
    hasWindow_ = true;
    onInitDialog();
}

void Dialog::destroyWindow() {
    if (!hasWindow_) return;
    onDestroyWindow();
    for (QWidget* control : controls_) delete control;
    controls_.clear();
    hasWindow_ = false;
}

void Dialog::connectCommands() {
    for (QWidget* widget : controls_) {
        const int id = controlId(widget);
        if (id == kNoControlId) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] { onCommand(id, notify::kClicked); });
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            connect(edit, &QLineEdit::textChanged, this, [this, id] { onCommand(id, notify::kChange); });
        } else if (auto* multi = qobject_cast<QPlainTextEdit*>(widget)) {
            connect(multi, &QPlainTextEdit::textChanged, this, [this, id] { onCommand(id, notify::kChange); });
        } else if (auto* address = qobject_cast<IpAddressControl*>(widget)) {
            connect(address, &IpAddressControl::changed, this, [this, id] { onCommand(id, notify::kChange); });
        } else if (auto* list = qobject_cast<ListBox*>(widget)) {
            connect(list, &ListBox::selectionChangedByUser, this, [this, id] { onCommand(id, notify::kSelChange); });
        } else if (auto* combo = qobject_cast<ComboBox*>(widget)) {
            connect(combo, &QComboBox::activated, this, [this, id] { onCommand(id, notify::kSelChange); });
        }
    }
}

void Dialog::setControlText(int id, const QString& text) {
    if (QWidget* widget = control(id)) kv::ui::setControlText(widget, text);
}

QString Dialog::controlText(int id) const { return kv::ui::controlText(control(id)); }

void Dialog::enableControl(int id, bool enable) {
    if (QWidget* widget = control(id)) widget->setEnabled(enable);
}

void Dialog::showControl(int id, bool show) {
    if (QWidget* widget = control(id)) widget->setVisible(show);
}

void Dialog::checkRadioButton(int first, int last, int id) {
    for (int other = first; other <= last; ++other) {
        if (auto* button = control<QAbstractButton>(other)) button->setChecked(other == id);
    }
}

bool Dialog::isChecked(int id) const {
    const auto* button = control<QAbstractButton>(id);
    return button && button->isChecked();
}

void Dialog::setChecked(int id, bool checked) {
    if (auto* button = control<QAbstractButton>(id)) button->setChecked(checked);
}

}  // namespace kv::ui
