// Message boxes and standard output on the Windows API.
#include "kv/platform/ui.h"

#include <cstdio>

#include "win32_util.h"

namespace kv::platform {

namespace {

class Win32MessageBoxes : public MessageBoxes {
public:
    int show(std::u16string_view text, std::u16string_view caption, uint32_t flags) override {
        return MessageBoxW(nullptr, win32::wide(text).c_str(), win32::wide(caption).c_str(), flags);
    }
};

class Win32Console : public Console {
public:
    void write(std::string_view text) override {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
};

}  // namespace

MessageBoxes& messageBoxes() {
    static Win32MessageBoxes instance;
    return instance;
}

// The system's MessageBoxW shows every box; nothing to install.
void setMessageBoxPresenter(MessageBoxPresenter) {}

Console& console() {
    static Win32Console instance;
    return instance;
}

}  // namespace kv::platform
