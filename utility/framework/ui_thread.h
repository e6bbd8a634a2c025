// The user-interface thread: workers never touch widgets, they post closures to it.
#pragma once

#include <QObject>
#include <functional>

namespace kv::ui {

bool onUiThread();
// Runs `action` on the user-interface thread later; dropped when `context` is destroyed first.
void postToUi(QObject* context, std::function<void()> action);
// Runs `action` on the user-interface thread and waits until it has run (at once when called
// there). The user-interface thread must not be waiting for the caller meanwhile.
void runOnUiThread(const std::function<void()>& action);

}  // namespace kv::ui
