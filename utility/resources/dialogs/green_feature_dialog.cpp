#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& greenFeatureDialog() {
    using namespace dialogs;
    using namespace res::ctl;
    static const DialogTemplate dialog{
        res::kDialogGreenFeature,
        "Green Feature",
        235,
        156,
        {
            {kStatic, ControlKind::Static, 7, 10, 90, 10, "Green Feature status: ", cs::kRight},
            {kStatic, ControlKind::Static, 7, 28, 90, 10, "Current Stage: ", cs::kRight},
            {kStatic, ControlKind::Static, 7, 46, 90, 10, "Power: ", cs::kRight},
            {kGreenStatus, ControlKind::Edit, 100, 8, 100, 12, {}, cs::kDisabled},
            {kGreenStage, ControlKind::Edit, 100, 26, 100, 12, {}, cs::kDisabled},
            {kGreenPower, ControlKind::Edit, 100, 44, 100, 12, {}, cs::kDisabled},
            {kStatic, ControlKind::Static, 7, 66, 221, 20, "Power in Normal case   Giga   644.7mW\r\n100M   354.9mW"},
            {kGreenEnable, ControlKind::PushButton, 7, 100, 107, 14, "Enable Green Feature"},
            {kGreenDisable, ControlKind::PushButton, 121, 100, 107, 14, "Disable Green Feature"},
            {kGreenRefresh, ControlKind::PushButton, 7, 120, 107, 14, "Refresh Status"},
        }};
    return dialog;
}

}  // namespace kv::diag
