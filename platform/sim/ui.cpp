// Message boxes and standard output on the simulated host: traced, and shown by the utility.
#include "kv/platform/ui.h"

#include <utility>

#include "kv/sim/host.h"

namespace kv::platform {

namespace {

class SimMessageBoxes : public MessageBoxes {
public:
    int show(std::u16string_view text, std::u16string_view caption, uint32_t flags) override {
        return sim::Host::get().messageBox(text, caption, flags);
    }
};

class SimConsole : public Console {
public:
    void write(std::string_view text) override { sim::Host::get().writeStdout(text); }
};

}  // namespace

MessageBoxes& messageBoxes() {
    static SimMessageBoxes instance;
    return instance;
}

void setMessageBoxPresenter(MessageBoxPresenter presenter) {
    sim::Host::get().setMessageBoxHandler(std::move(presenter));
}

void setConsoleMessageBoxes(MessageBoxPresenter presenter) { setMessageBoxPresenter(std::move(presenter)); }

Console& console() {
    static SimConsole instance;
    return instance;
}

void setConsoleSink(ConsoleSink sink) { sim::Host::get().setStdoutHandler(std::move(sink)); }

}  // namespace kv::platform
