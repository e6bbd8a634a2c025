#include "resources/dialog_templates.h"

#include <array>

namespace kv::diag {

const ui::DialogTemplate* dialogTemplate(int id) {
    using Accessor = const ui::DialogTemplate& (*)();
    static constexpr std::array<Accessor, 10> kAll{
        &generalDialog,   &driverDialog,          &cableDialog,      &diagnosticsDialog, &sendReceiveDialog,
        &wakeOnLanDialog, &advancedSettingDialog, &statisticsDialog, &vlanDialog,        &greenFeatureDialog};
    for (Accessor accessor : kAll) {
        if (accessor().id == id) return &accessor();
    }
    return nullptr;
}

}  // namespace kv::diag
