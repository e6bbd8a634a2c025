#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& advancedSettingDialog() {
    using namespace dialogs;
    using namespace res::ctl;
    static const DialogTemplate dialog{
        res::kDialogAdvancedSetting,
        "Driver::Advanced Setting",
        kPageWidth,
        kPageHeight,
        {
            {kStatic, ControlKind::Static, 7, 5, 228, 36,
             "The following properties are available for this network adapter. \r\nClick the property you want to "
             "change on the left, and then select\r\nits value on the right."},
            {kStatic, ControlKind::Static, 7, 42, 60, 8, "Setting"},
            {kStatic, ControlKind::Static, 131, 42, 60, 8, "Value"},
            {kSettingList, ControlKind::ListBox, 7, 51, 115, 98, {}, cs::kSorted | cs::kVScroll},
            {kSettingPlaceholder, ControlKind::GroupBox, 131, 51, 72, 18, {}, cs::kHidden},
            {kSettingEnum, ControlKind::ComboBox, 131, 51, 72, 60, {}, cs::kSorted},
            {kSettingNumber, ControlKind::Edit, 131, 51, 60, 12},
            {kSettingUpDown, ControlKind::UpDown, 191, 51, 10, 12, {}, 0, 0, kSettingNumber},
            {kSettingText, ControlKind::Edit, 131, 51, 72, 12},
            {kSettingHasValue, ControlKind::RadioButton, 131, 75, 10, 10},
            {kSettingNotPresent, ControlKind::RadioButton, 131, 90, 70, 10, "Not Present"},
            {kSettingModify, ControlKind::PushButton, 178, 135, 50, 14, "Modify"},
        }};
    return dialog;
}

}  // namespace kv::diag
