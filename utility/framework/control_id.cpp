#include "framework/control_id.h"

#include <QVariant>

namespace kv::ui {

namespace {
constexpr const char* kIdProperty = "kvControlId";
}

void setControlId(QWidget* control, int id) { control->setProperty(kIdProperty, id); }

int controlId(const QWidget* control) {
    const QVariant id = control->property(kIdProperty);
    return id.isValid() ? id.toInt() : kNoControlId;
}

}  // namespace kv::ui
