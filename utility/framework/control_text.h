// The text of any control (the window text of a dialog item): labels, buttons, group boxes,
// edits, combo boxes and the address control.
#pragma once

#include <QString>
#include <QWidget>

namespace kv::ui {

void setControlText(QWidget* control, const QString& text);
QString controlText(const QWidget* control);

}  // namespace kv::ui
