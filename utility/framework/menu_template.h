// A menu resource as data (popups of command items and separators) and the QMenu built from it.
// Each action carries its command id; findCommand finds it again for the menu's update rules.
#pragma once

#include <QAction>
#include <QMenu>
#include <memory>
#include <string_view>
#include <vector>

namespace kv::ui {

struct MenuItemTemplate {
    int id = 0;  // 0: a separator
    std::string_view text;
};

struct PopupTemplate {
    std::string_view text;
    std::vector<MenuItemTemplate> items;
};

struct MenuTemplate {
    int id = 0;
    std::vector<PopupTemplate> popups;
};

std::unique_ptr<QMenu> buildPopupMenu(const PopupTemplate& popup, QWidget* parent = nullptr);
// The action of command `id` in the menu (also in its sub-menus); null when absent.
QAction* findCommand(const QMenu& menu, int id);
int commandId(const QAction& action);

}  // namespace kv::ui
