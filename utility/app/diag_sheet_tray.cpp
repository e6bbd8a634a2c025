// The main window's outer shell: the tray icon, menu 134 with its update rules, the window
// message protocol and the program's end.
#include <QCursor>
#include <QMenu>

#include "app/diag_sheet.h"
#include "app/nics_menu.h"
#include "app/report_saver.h"
#include "app/tray_icon.h"
#include "app/window_protocol.h"
#include "framework/menu_template.h"
#include "framework/message_box.h"
#include "framework/ui_thread.h"
#include "kv/platform/window_messages.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace kv::diag {

void CDiagSheet::setTrayIconShown(bool show) {
    if (!trayIcon_) trayIcon_ = std::make_unique<TrayIcon>(messageWindow_ ? messageWindow_->handle() : 0);
    animation_.reset();
    if (show) {
        trayIcon_->add(animation_.iconId());
    } else {
        trayIcon_->remove(animation_.iconId());
    }
}

bool CDiagSheet::trayIconShown() const { return settings_.showTrayIcon != 0; }

void CDiagSheet::modifyTrayIcon(int iconId) {
    if (trayIcon_) trayIcon_->modify(iconId);
}

void CDiagSheet::startTrayTimer(int id, uint32_t periodMs) { timers().setTimer(id, periodMs); }

void CDiagSheet::stopTrayTimer(int id) { timers().killTimer(id); }

void CDiagSheet::handleProtocolMessage(intptr_t lParam) {
    switch (lParam) {
        case request::kTrayMouseMove:
            animation_.mouseMove();
            return;
        case request::kTrayDoubleClick:
            if (!uiEnabled()) return;
            if (isVisible()) {
                hide();
            } else {
                launch();
            }
            return;
        case request::kTrayRightButton:
            if (uiEnabled()) showNicsMenu();
            return;
        case request::kShowWindow:
            launch();
            return;
        case request::kQuit:
            if (uiEnabled()) {
                postQuit();
            } else {
                ui::messageBox(
                    QStringLiteral("Please close %1 first!").arg(QString::fromStdString(environment_.appName)));
            }
            return;
        default:
            return;
    }
}

void CDiagSheet::launch() {
    show();
    raise();
    activateWindow();
}

void CDiagSheet::postQuit() {
    quitPosted_ = true;
    done(0);
}

void CDiagSheet::runCommand(int commandId) {
    switch (commandId) {
        case res::kCmdRefreshNicList:
            // A worker's own request (a refused VLAN change) comes while it still holds the
            // library: the refresh follows its end.
            if (session_.busy()) {
                watch_.refreshAfterwards();
            } else {
                refreshAdapterList();
            }
            return;
        case res::kCmdShowTrayIcon: {
            const ToggleOutcome outcome = toggleTrayIcon(settings_);
            if (outcome == ToggleOutcome::KeyMissing) return;
            if (outcome == ToggleOutcome::SwitchedOff && !isVisible()) launch();
            setTrayIconShown(settings_.showTrayIcon != 0);
            return;
        }
        case res::kCmdStartUpLaunch:
            toggleStartUpLaunch(settings_, environment_.appName);
            return;
        case res::kCmdLaunch:
            launch();
            return;
        case res::kCmdExit:
            postQuit();
            return;
        case res::kCmdSaveReport:
            if (selectedIndex_ >= 0 && adapterReady()) saveSupportReport(this, selectedIndex_);
            return;
        default:
            return;
    }
}

// A worker may post: the command reaches the window through its user-interface thread, and is
// dropped when the window is gone by then.
void CDiagSheet::postCommand(int commandId) {
    ui::postToUi(this, [this, commandId] { runCommand(commandId); });
}

void CDiagSheet::updateMenu(QMenu& popup) {
    for (QAction* action : popup.actions()) {
        if (QMenu* cascade = action->menu()) {
            updateMenu(*cascade);
            continue;
        }
        switch (ui::commandId(*action)) {
            case res::kCmdRefreshNicList:
                action->setEnabled(isVisible());
                break;
            case res::kCmdShowTrayIcon:
                action->setText(loadString(settings_.showTrayIcon ? res::str::tray::kRemoveTrayIcon
                                                                  : res::str::tray::kShowTrayIcon));
                break;
            case res::kCmdStartUpLaunch:
                action->setEnabled(startUpLaunchAvailable(settings_));
                action->setText(loadString(settings_.startUpLaunch ? res::str::tray::kDisableStartUp
                                                                   : res::str::tray::kEnableStartUp));
                break;
            case res::kCmdLaunch:
                action->setEnabled(!isVisible());
                break;
            case res::kCmdExit:
                action->setEnabled(true);
                break;
            case res::kCmdSaveReport:
                action->setEnabled(selectedIndex_ >= 0 && adapterReady());
                break;
            default:
                break;
        }
    }
}

void CDiagSheet::showNicsMenu(bool adapterTreeMenu) {
    std::unique_ptr<QMenu> menu = loadNicsMenu(this);
    if (!menu) return;
    if (adapterTreeMenu) appendSaveReportItem(*menu);
    raise();
    activateWindow();
    connect(menu.get(), &QMenu::aboutToShow, this, [this, popup = menu.get()] { updateMenu(*popup); });
    const int chosen = trackPopupMenu(*menu, QCursor::pos());
    if (chosen != 0) runCommand(chosen);
}

}  // namespace kv::diag
