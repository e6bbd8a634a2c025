#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& vlanDialog() {
    using namespace dialogs;
    static const DialogTemplate dialog{
        res::kDialogVlan,
        "VLAN",
        kPageWidth,
        kPageHeight,
        {
            {res::ctl::kVlanList, ControlKind::ListView, 7, 7, 221, 107},
            {res::ctl::kVlanAdd, ControlKind::PushButton, 7, 120, 50, 14, "Add"},
            {res::ctl::kVlanDelete, ControlKind::PushButton, 62, 120, 50, 14, "Delete"},
            {res::ctl::kVlanModifyVid, ControlKind::PushButton, 117, 120, 60, 14, "Modify VID"},
        }};
    return dialog;
}

}  // namespace kv::diag
