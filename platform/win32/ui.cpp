// Message boxes and standard output on the Windows API.
#include "kv/platform/ui.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "win32_util.h"

namespace kv::platform {

namespace {

// A console program's own answers to the boxes, and its place for the diagnostic lines; read under
// the lock, called outside it.
std::mutex gHooksMutex;
MessageBoxPresenter gConsolePresenter;
ConsoleSink gConsoleSink;

template <typename Hook>
Hook copyOf(const Hook& hook) {
    std::lock_guard lock(gHooksMutex);
    return hook;
}

class Win32MessageBoxes : public MessageBoxes {
public:
    int show(std::u16string_view text, std::u16string_view caption, uint32_t flags) override {
        if (const MessageBoxPresenter presenter = copyOf(gConsolePresenter)) return presenter(text, caption, flags);
        return MessageBoxW(nullptr, win32::wide(text).c_str(), win32::wide(caption).c_str(), flags);
    }
};

class Win32Console : public Console {
public:
    void write(std::string_view text) override {
        if (const ConsoleSink sink = copyOf(gConsoleSink)) return sink(text);
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

void setConsoleMessageBoxes(MessageBoxPresenter presenter) {
    std::lock_guard lock(gHooksMutex);
    gConsolePresenter = std::move(presenter);
}

Console& console() {
    static Win32Console instance;
    return instance;
}

void setConsoleSink(ConsoleSink sink) {
    std::lock_guard lock(gHooksMutex);
    gConsoleSink = std::move(sink);
}

}  // namespace kv::platform
