// The page templates, by dialog id; each lives in dialogs/<page>_dialog.cpp.
#pragma once

#include "framework/dialog_template.h"

namespace kv::diag {

const ui::DialogTemplate& generalDialog();
const ui::DialogTemplate& driverDialog();
const ui::DialogTemplate& cableDialog();
const ui::DialogTemplate& diagnosticsDialog();
const ui::DialogTemplate& sendReceiveDialog();
const ui::DialogTemplate& wakeOnLanDialog();
const ui::DialogTemplate& advancedSettingDialog();
const ui::DialogTemplate& statisticsDialog();
const ui::DialogTemplate& vlanDialog();
const ui::DialogTemplate& greenFeatureDialog();

// The template with that id; null for an id without one.
const ui::DialogTemplate* dialogTemplate(int id);

}  // namespace kv::diag
