// Controls carry their numeric ids as their identity, as dialog controls do: pages and tests
// find them by id.
#pragma once

#include <QWidget>

namespace kv::ui {

// The id of a control without one of its own (static texts, group boxes of a template).
inline constexpr int kNoControlId = -1;

void setControlId(QWidget* control, int id);
// kNoControlId when the widget carries none.
int controlId(const QWidget* control);

// The first descendant of `root` of type T with that id; null when there is none.
template <typename T = QWidget>
T* findControl(const QWidget* root, int id) {
    if (!root || id == kNoControlId) return nullptr;
    for (T* candidate : root->findChildren<T*>()) {
        if (controlId(candidate) == id) return candidate;
    }
    return nullptr;
}

}  // namespace kv::ui
