#include "framework/ui_thread.h"

#include <QCoreApplication>
#include <QThread>

namespace kv::ui {

bool onUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void postToUi(QObject* context, std::function<void()> action) {
    QMetaObject::invokeMethod(context ? context : QCoreApplication::instance(), std::move(action),
                              Qt::QueuedConnection);
}

void runOnUiThread(const std::function<void()>& action) {
    if (onUiThread() || !QCoreApplication::instance()) {
        action();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), action, Qt::BlockingQueuedConnection);
}

}  // namespace kv::ui
