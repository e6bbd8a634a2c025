#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& driverDialog() {
    static const auto dialog = dialogs::singleListPage(res::kDialogDriver, "Driver", res::ctl::kDriverList);
    return dialog;
}

}  // namespace kv::diag
