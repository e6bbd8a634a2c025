// Input as the user gives it: a window of the test's own made active, so that keys go where the
// focus is, and keys typed one by one to the widget that has the focus at each.
#pragma once

#include <QString>

class QWidget;

namespace kv::diag::testing {

// Shows the window and makes it the active one.
void showActive(QWidget& window);

// Types keys to the focused widget, each to the one that has the focus then: '<' and '>' are the
// left and right arrows, '\b' backspace, '^' Ctrl+V; every other character is its own key.
void typeKeys(const QString& keys);

}  // namespace kv::diag::testing
