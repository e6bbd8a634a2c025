// Lays out a template's controls on a widget: each control created for its kind, carrying its
// id, placed at its dialog-unit rectangle converted with the base units of the widget's font.
#pragma once

#include <QWidget>
#include <vector>

#include "framework/dialog_template.h"
#include "framework/dialog_units.h"

namespace kv::ui {

struct BuiltControl {
    const ControlTemplate* source;
    QWidget* widget;
};

std::vector<BuiltControl> buildControls(QWidget& parent, const DialogTemplate& dialog, const DialogBaseUnits& units);

}  // namespace kv::ui
