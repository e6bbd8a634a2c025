// The utility's menu resources.
#pragma once

#include "framework/menu_template.h"

namespace kv::diag {

// Menu 134: its first popup, "NicsMenu", is the tray menu and the adapter tree's context menu.
const ui::MenuTemplate& nicsMenu();
// The menu with that id; null for an id without one.
const ui::MenuTemplate* menuResource(int id);

}  // namespace kv::diag
