#include "resources/dialog_templates.h"
#include "resources/dialogs/dialog_parts.h"

namespace kv::diag {

const ui::DialogTemplate& sendReceiveDialog() {
    using namespace dialogs;
    static const DialogTemplate dialog{
        res::kDialogSendReceive,
        "Diagnostics::Send and Receive",
        kPageWidth,
        kPageHeight,
        {
            {kStatic, ControlKind::Static, 7, 7, 221, 36,
             "This is a ping-pong test by broadcast. There should be two computers running this program on the "
             "same LAN , one stands as \"Initiator\" and another as \"Responder\". "},
            {res::ctl::kSendReceiveInitiator, ControlKind::RadioButton, 20, 50, 70, 10, "Initiator"},
            {res::ctl::kSendReceiveResponder, ControlKind::RadioButton, 20, 66, 70, 10, "Responder"},
            {res::ctl::kSendReceiveStart, ControlKind::PushButton, 130, 48, 50, 14, "Start"},
            {res::ctl::kSendReceiveStop, ControlKind::PushButton, 130, 64, 50, 14, "Stop"},
            {kStatic, ControlKind::Static, 20, 92, 90, 10, "Test Packet Sent:", cs::kRight},
            {res::ctl::kSendReceiveSent, ControlKind::Static, 115, 92, 60, 10, "0"},
            {kStatic, ControlKind::Static, 20, 108, 90, 10, "Test Packet Received:", cs::kRight},
            {res::ctl::kSendReceiveReceived, ControlKind::Static, 115, 108, 60, 10, "0"},
        }};
    return dialog;
}

}  // namespace kv::diag
