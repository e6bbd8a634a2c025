#include "app/window_protocol.h"

#include "kv/platform/window_messages.h"

namespace kv::diag {

bool wakeRunningInstance() {
    auto& desktop = platform::windowMessages();
    const platform::WindowHandle running = desktop.findWindow(kWindowCaption);
    if (running == 0) return false;
    desktop.postMessage(running, kProtocolMessage, 0, request::kShowWindow);
    return true;
}

}  // namespace kv::diag
