#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& generalDialog() {
    static const auto dialog = dialogs::singleListPage(res::kDialogGeneral, "General", res::ctl::kGeneralList);
    return dialog;
}

}  // namespace kv::diag
