#include "app/nics_menu.h"

#include <utility>

#include "framework/menu_template.h"
#include "resources/menus.h"

namespace kv::diag {

namespace {

PopupPresenter& presenter() {
    static PopupPresenter instance;
    return instance;
}

}  // namespace

std::unique_ptr<QMenu> loadNicsMenu(QWidget* owner) {
    const ui::MenuTemplate& menu = nicsMenu();
    if (menu.popups.empty()) return nullptr;
    return ui::buildPopupMenu(menu.popups.front(), owner);
}

int trackPopupMenu(QMenu& menu, const QPoint& at) {
    if (presenter()) {
        emit menu.aboutToShow();
        return presenter()(menu);
    }
    const QAction* chosen = menu.exec(at);
    return chosen ? ui::commandId(*chosen) : 0;
}

void setPopupPresenter(PopupPresenter presenter) { kv::diag::presenter() = std::move(presenter); }

}  // namespace kv::diag
