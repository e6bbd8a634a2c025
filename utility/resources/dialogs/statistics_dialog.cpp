#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& statisticsDialog() {
    static const auto dialog = dialogs::singleListPage(res::kDialogStatistics, "Statistics", res::ctl::kStatisticsList);
    return dialog;
}

}  // namespace kv::diag
