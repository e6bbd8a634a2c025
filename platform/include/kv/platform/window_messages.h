// Top-level windows found by caption and the messages posted to them: the way a second instance
// or an outside program reaches the running program's main window.
//
// On Windows these are the real windows of the desktop (FindWindowA, PostMessageA). On the
// simulated host the desktop is that of one machine directory: programs running on the same
// machine directory find each other's windows, programs on two machine directories are two
// computers and never do.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace kv::platform {

inline constexpr uint32_t kWmUser = 0x0400;

// A top-level window (an HWND's 32-bit value on Windows); 0 is no window.
using WindowHandle = uint32_t;

// The message a window receives: message number, wParam, lParam.
using WindowMessageHandler = std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

// The receiving side of one top-level window; destroying it stops the delivery (and on the
// simulated host takes the window off the desktop).
class MessageWindow {
public:
    virtual ~MessageWindow() = default;
    // The window's handle, for records that name their owner window (the notification icon's).
    virtual WindowHandle handle() const = 0;
    // Windows: the program hands every native message of the window here (its native event
    // filter's MSG pointer); a message with the receiving message number is given to the handler
    // at once, on the calling thread, and the call returns true. Always false on the simulated
    // host, which delivers by itself.
    virtual bool deliverNative(void* nativeMessage) = 0;
};

class WindowMessages {
public:
    virtual ~WindowMessages() = default;
    // FindWindowA(no class, caption): the top-level window with exactly this caption, visible or
    // hidden; 0 when there is none.
    virtual WindowHandle findWindow(std::string_view caption) = 0;
    // PostMessageA: queues the message for the window and returns without waiting for it.
    virtual bool postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

    // Receives the messages numbered `message` that are posted to the program's top-level window
    // with this caption. `nativeWindow` is that window's own handle on Windows (the window shows
    // the caption itself, the program hands its native messages to deliverNative); with 0 the
    // Windows backend makes a hidden window of its own with the caption, served by the message
    // loop of the calling thread. The simulated host ignores `nativeWindow` and puts a window of
    // its own with the caption on the machine's desktop. Null when the window cannot be set up.
    //
    // The handler may run on a thread of the service (the simulated host's listener), or on the
    // posting thread when the poster is this same process; on Windows it runs inside
    // deliverNative or the message loop. It must not block: a program queues the message to its user-interface thread.
    virtual std::unique_ptr<MessageWindow> openWindow(std::string_view caption, WindowHandle nativeWindow,
                                                      uint32_t message, WindowMessageHandler handler) = 0;
};

WindowMessages& windowMessages();

}  // namespace kv::platform
