// On the simulated host the notification area has no screen: this shows the program's icon there
// as a real tray icon of the desktop, when the desktop has a tray, and hands the user's clicks on
// it back as the shell would report them. Qt reports no pointer moves over a tray icon, so a
// single click stands for the move (0x0200); a double click is 0x0203 and the context click
// 0x0204. On Windows the shell shows the icon itself and the mirror stays empty.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

#include "kv/platform/notify_area.h"

namespace kv::diag {

class TrayMirror : public QObject {
    Q_OBJECT
public:
    explicit TrayMirror(QObject* parent);
    ~TrayMirror() override;

    // The pointer action a click of that kind stands for; 0 for none.
    static uint32_t pointerActionOf(QSystemTrayIcon::ActivationReason reason);

private:
    void mirror(platform::NotifyAction action, const platform::NotifyIcon& icon);

    std::unique_ptr<platform::NotifyObservation> observation_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    platform::NotifyIcon shown_;
};

}  // namespace kv::diag
