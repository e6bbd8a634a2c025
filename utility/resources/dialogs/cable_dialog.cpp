#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& cableDialog() {
    using namespace dialogs;
    static const DialogTemplate dialog{
        res::kDialogCable,
        "Cable",
        kPageWidth,
        kPageHeight,
        {
            {kStatic, ControlKind::Static, 7, 7, 221, 48,
             "1. Cable Analysis is invalid for 10 Mbps speed mode.\r\n"
             "2. Cable Status Description:\r\n"
             "\tNormal - The calbe is normal or connected.\r\n"
             "\tOpen   - The calbe is broken or disconnected.\r\n"
             "\tShort  - The cable is short."},
            {res::ctl::kCableList, ControlKind::ListView, 7, 60, 221, 70},
            {res::ctl::kCableRefresh, ControlKind::PushButton, 178, 135, 50, 14, "Refresh"},
        }};
    return dialog;
}

}  // namespace kv::diag
