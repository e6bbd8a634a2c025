// Menu 134's first popup, "NicsMenu": the tray menu and the adapter tree's context menu. It is
// tracked at a point and answers the command chosen. Tests put a presenter in place of the user,
// so no popup ever blocks them.
#pragma once

#include <QMenu>
#include <QPoint>
#include <functional>
#include <memory>

namespace kv::diag {

// The popup, built from the resource.
std::unique_ptr<QMenu> loadNicsMenu(QWidget* owner);

// Shows the popup at the point and returns the command chosen, 0 for none. The menu's
// aboutToShow runs first, so its update rules apply.
int trackPopupMenu(QMenu& menu, const QPoint& at);

// Who picks from a tracked popup: by default the user; a test reads the menu (after its update
// rules ran) and returns a command id or 0.
using PopupPresenter = std::function<int(QMenu& menu)>;
void setPopupPresenter(PopupPresenter presenter);

}  // namespace kv::diag
