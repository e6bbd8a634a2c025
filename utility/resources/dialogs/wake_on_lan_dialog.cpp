#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& wakeOnLanDialog() {
    using namespace dialogs;
    static const DialogTemplate dialog{
        res::kDialogWakeOnLan,
        "Wake On LAN",
        kPageWidth,
        kPageHeight,
        {
            {kStatic, ControlKind::Static, 7, 7, 221, 26,
             "To wake up a computer in suspend or sleep mode on LAN, please select one of the following method and "
             "fill up the information about the computer."},
            {res::ctl::kWolByEthernet, ControlKind::RadioButton, 14, 42, 80, 10, "Ethernet Address"},
            {res::ctl::kWolEthernetAddress, ControlKind::Edit, 100, 40, 90, 12, {}, 0, 12},
            {res::ctl::kWolByIp, ControlKind::RadioButton, 14, 62, 80, 10, "IP Address"},
            {res::ctl::kWolIpAddress, ControlKind::IpAddress, 100, 60, 90, 12},
            {res::ctl::kWolByNetBios, ControlKind::RadioButton, 14, 82, 80, 10, "NetBIOS Name"},
            {res::ctl::kWolNetBiosName, ControlKind::Edit, 100, 80, 90, 12},
            {res::ctl::kWolWakeUp, ControlKind::PushButton, 100, 106, 60, 14, "Wake Up"},
        }};
    return dialog;
}

}  // namespace kv::diag
