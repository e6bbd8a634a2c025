#include "app/tray_mirror.h"

#include "resources/images.h"

namespace kv::diag {

TrayMirror::TrayMirror(QObject* parent) : QObject(parent) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    observation_ = platform::notifyArea().observe(
        [this](platform::NotifyAction action, const platform::NotifyIcon& icon) { mirror(action, icon); });
}

TrayMirror::~TrayMirror() = default;

uint32_t TrayMirror::pointerActionOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return platform::pointer::kMouseMove;
        case QSystemTrayIcon::DoubleClick:
            return platform::pointer::kLeftDoubleClick;
        case QSystemTrayIcon::Context:
            return platform::pointer::kRightButtonDown;
        default:
            return 0;
    }
}

void TrayMirror::mirror(platform::NotifyAction action, const platform::NotifyIcon& icon) {
    if (action == platform::NotifyAction::Delete) {
        trayIcon_.reset();
        return;
    }
    if (!trayIcon_) {
        trayIcon_ = std::make_unique<QSystemTrayIcon>();
        connect(trayIcon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (const uint32_t pointerAction = pointerActionOf(reason))
                platform::notifyArea().pointerAction(shown_.window, shown_.id, pointerAction);
        });
    }
    shown_ = icon;
    trayIcon_->setIcon(loadIcon(static_cast<int>(icon.iconResource)));
    trayIcon_->setToolTip(QString::fromLocal8Bit(icon.tip.c_str()));
    trayIcon_->show();
}

}  // namespace kv::diag
