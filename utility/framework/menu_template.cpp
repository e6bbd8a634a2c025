#include "framework/menu_template.h"

#include "framework/ansi_text.h"

namespace kv::ui {

std::unique_ptr<QMenu> buildPopupMenu(const PopupTemplate& popup, QWidget* parent) {
    auto menu = std::make_unique<QMenu>(fromAnsi(popup.text), parent);
    for (const MenuItemTemplate& item : popup.items) {
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(fromAnsi(item.text));
        action->setData(item.id);
    }
    return menu;
}

int commandId(const QAction& action) { return action.data().toInt(); }

QAction* findCommand(const QMenu& menu, int id) {
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator() && commandId(*action) == id) return action;
        if (const QMenu* sub = action->menu()) {
            if (QAction* found = findCommand(*sub, id)) return found;
        }
    }
    return nullptr;
}

}  // namespace kv::ui
