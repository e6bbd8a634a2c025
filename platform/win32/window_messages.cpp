// Windows and their messages on the Windows API: FindWindowA and PostMessageA. The receiving side
// is the program's own top-level window, whose native messages the program hands over; without
// one, the backend makes a hidden top-level window with the caption, served by the message loop
// of the thread that opened it.
#include "kv/platform/window_messages.h"

#include <string>

#include "win32_util.h"

namespace kv::platform {

namespace {

// Window handles are 32-bit values, sign-extended in a 64-bit process.
HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(window))); }
WindowHandle fromHwnd(HWND window) { return static_cast<WindowHandle>(reinterpret_cast<uintptr_t>(window)); }

constexpr char kOwnWindowClass[] = "KelvaMessageWindow";

class Win32MessageWindow : public MessageWindow {
public:
    Win32MessageWindow(HWND window, bool own, uint32_t message, WindowMessageHandler handler)
        : window_(window), own_(own), message_(message), handler_(std::move(handler)) {
        if (own_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Win32MessageWindow() override {
        if (own_) {
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
    }

    WindowHandle handle() const override { return fromHwnd(window_); }

    bool deliverNative(void* nativeMessage) override {
        const MSG* msg = static_cast<const MSG*>(nativeMessage);
        if (!msg || msg->hwnd != window_) return false;
        return deliver(msg->message, msg->wParam, msg->lParam);
    }

    bool deliver(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != message_) return false;
        handler_(message, wParam, lParam);
        return true;
    }

private:
    HWND window_;
    bool own_;
    uint32_t message_;
    WindowMessageHandler handler_;
};

LRESULT CALLBACK ownWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* receiver = reinterpret_cast<Win32MessageWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (receiver && receiver->deliver(message, wParam, lParam)) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createOwnWindow(std::string_view caption) {
    static const ATOM windowClass = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ownWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kOwnWindowClass;
        return RegisterClassA(&wc);
    }();
    if (!windowClass) return nullptr;
    return CreateWindowExA(0, kOwnWindowClass, std::string(caption).c_str(), WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

class Win32WindowMessages : public WindowMessages {
public:
    WindowHandle findWindow(std::string_view caption) override {
        return fromHwnd(FindWindowA(nullptr, std::string(caption).c_str()));
    }

    bool postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        return PostMessageA(toHwnd(window), message, wParam, lParam) != FALSE;
    }

    std::unique_ptr<MessageWindow> openWindow(std::string_view caption, WindowHandle nativeWindow, uint32_t message,
                                              WindowMessageHandler handler) override {
        const bool own = nativeWindow == 0;
        const HWND window = own ? createOwnWindow(caption) : toHwnd(nativeWindow);
        if (!window || !IsWindow(window)) return nullptr;
        return std::make_unique<Win32MessageWindow>(window, own, message, std::move(handler));
    }
};

}  // namespace

WindowMessages& windowMessages() {
    static Win32WindowMessages instance;
    return instance;
}

}  // namespace kv::platform
