#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& diagnosticsDialog() {
    using namespace dialogs;
    static const DialogTemplate dialog{
        res::kDialogDiagnostics,
        "Diagnostics",
        kPageWidth,
        kPageHeight,
        {
            {res::ctl::kDiagnosticsList, ControlKind::ListView, 7, 7, 221, 80},
            {res::ctl::kDiagnosticsLog,
             ControlKind::Edit,
             7,
             91,
             221,
             40,
             {},
             cs::kMultiLine | cs::kReadOnly | cs::kVScroll},
            {res::ctl::kDiagnosticsStart, ControlKind::PushButton, 7, 135, 50, 14, "Start Test"},
            {res::ctl::kDiagnosticsStop, ControlKind::PushButton, 62, 135, 50, 14, "Stop Test"},
            {res::ctl::kDiagnosticsRepeat, ControlKind::CheckBox, 120, 137, 60, 10, "Repeat"},
        }};
    return dialog;
}

}  // namespace kv::diag
