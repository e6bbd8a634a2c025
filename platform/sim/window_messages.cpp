// Windows and their messages on the simulated host. The desktop is that of the machine
// directory: a window with a caption listens on a local socket whose name is made from the
// machine directory and the caption, so programs on the same machine directory find each other and
// programs on two directories never do. A message posted to a window of this same process is
// handed over at once, without the socket. Opening, finding, posting and receiving are traced as
// "window ...".
#include "kv/platform/window_messages.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <system_error>

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/sim/host.h"
#include "native/local_socket.h"

namespace kv::platform {

namespace {

using sim::Host;

// A posted message as it travels: message u32, wParam u64, lParam i64 (little-endian).
constexpr size_t kRecordSize = 20;

std::string inQuotes(std::string_view caption) { return "\"" + sim::Trace::escape(caption) + "\""; }

std::string describe(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return "message=" + sim::Trace::hexNumber(message) + " wparam=" + sim::Trace::hexNumber(wParam) +
           " lparam=" + sim::Trace::hexNumber(static_cast<uint64_t>(lParam));
}

void trace(const std::string& line) { Host::Call(Host::get()).host.trace().add(line); }

uint64_t fnv1a(std::string_view text) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : text) h = (h ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;
    return h;
}

// The desktop this process's windows live on: the machine directory, or a desktop of its own
// for a machine that lives in memory only.
std::string desktopName() {
    const std::filesystem::path directory = Host::Call(Host::get()).host.machine().directory;
    if (directory.empty()) {
        static const std::string own = "memory-" + std::to_string(std::random_device{}());
        return own;
    }
    std::error_code ec;
    const auto canonical = std::filesystem::weakly_canonical(directory, ec);
    return (ec ? directory : canonical).string();
}

std::filesystem::path socketPath(std::string_view caption) {
    char name[64];
    std::snprintf(name, sizeof name, "%016llx-%016llx.sock", static_cast<unsigned long long>(fnv1a(desktopName())),
                  static_cast<unsigned long long>(fnv1a(caption)));
    return native::localSocketFolder() / name;
}

struct Receiver {
    std::string caption;
    uint32_t message;
    WindowMessageHandler handler;

    void receive(uint32_t m, uintptr_t wParam, intptr_t lParam) const {
        const bool taken = m == message;
        trace("window receive " + inQuotes(caption) + " " + describe(m, wParam, lParam) + (taken ? "" : " ignored"));
        if (taken) handler(m, wParam, lParam);
    }
};

class SimMessageWindow;

class SimWindowMessages : public WindowMessages {
public:
    WindowHandle findWindow(std::string_view caption) override {
        const bool found = local(caption) != nullptr || native::sendTo(socketPath(caption), {});
        const WindowHandle window = found ? handleOf(caption) : 0;
        trace("window find " + inQuotes(caption) + " " + (found ? sim::Trace::hexNumber(window) : std::string("none")));
        return window;
    }

    bool postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        const std::string caption = captionOf(window);
        bool delivered = false;
        if (!caption.empty()) {
            if (const auto receiver = local(caption)) {
                trace("window post " + sim::Trace::hexNumber(window) + " " + inQuotes(caption) + " " +
                      describe(message, wParam, lParam) + " ok");
                receiver->receive(message, wParam, lParam);
                return true;
            }
            uint8_t record[kRecordSize] = {};
            writeU32(record, 0, message);
            writeU64(record, 4, wParam);
            writeU64(record, 12, static_cast<uint64_t>(lParam));
            delivered = native::sendTo(socketPath(caption), record);
        }
        trace("window post " + sim::Trace::hexNumber(window) + " " + inQuotes(caption) + " " +
              describe(message, wParam, lParam) +
              (delivered ? " ok" : " err=" + std::to_string(err::kInvalidWindowHandle)));
        if (!delivered) Host::setLastError(err::kInvalidWindowHandle);
        return delivered;
    }

    std::unique_ptr<MessageWindow> openWindow(std::string_view caption, WindowHandle, uint32_t message,
                                              WindowMessageHandler handler) override;

    void closeWindow(const std::string& caption) {
        {
            std::lock_guard lock(mutex_);
            receivers_.erase(caption);
        }
        trace("window close " + inQuotes(caption));
    }

    WindowHandle handleOf(std::string_view caption) {
        std::lock_guard lock(mutex_);
        for (const auto& [handle, name] : captions_)
            if (name == caption) return handle;
        const WindowHandle handle = kFirstHandle + 2 * static_cast<WindowHandle>(captions_.size());
        captions_.emplace(handle, std::string(caption));
        return handle;
    }

private:
    static constexpr WindowHandle kFirstHandle = 0x00010010;

    std::shared_ptr<const Receiver> local(std::string_view caption) {
        std::lock_guard lock(mutex_);
        const auto it = receivers_.find(std::string(caption));
        return it == receivers_.end() ? nullptr : it->second;
    }

    std::string captionOf(WindowHandle window) {
        std::lock_guard lock(mutex_);
        const auto it = captions_.find(window);
        return it == captions_.end() ? std::string() : it->second;
    }

    std::mutex mutex_;
    std::map<WindowHandle, std::string> captions_;                      // the windows this process knows, by handle
    std::map<std::string, std::shared_ptr<const Receiver>> receivers_;  // this process's windows
    friend class SimMessageWindow;
};

SimWindowMessages& instance() {
    static SimWindowMessages messages;
    return messages;
}

class SimMessageWindow : public MessageWindow {
public:
    SimMessageWindow(WindowHandle handle, std::string caption, std::unique_ptr<native::LocalListener> listener)
        : handle_(handle), caption_(std::move(caption)), listener_(std::move(listener)) {}
    ~SimMessageWindow() override {
        listener_.reset();
        instance().closeWindow(caption_);
    }

    WindowHandle handle() const override { return handle_; }
    bool deliverNative(void*) override { return false; }

private:
    WindowHandle handle_;
    std::string caption_;
    std::unique_ptr<native::LocalListener> listener_;
};

std::unique_ptr<MessageWindow> SimWindowMessages::openWindow(std::string_view caption, WindowHandle, uint32_t message,
                                                             WindowMessageHandler handler) {
    auto receiver = std::make_shared<const Receiver>(Receiver{std::string(caption), message, std::move(handler)});
    auto listener = native::listenAt(socketPath(caption), kRecordSize, [receiver](std::span<const uint8_t> r) {
        receiver->receive(readU32(r, 0), static_cast<uintptr_t>(readU64(r, 4)), static_cast<intptr_t>(readU64(r, 12)));
    });
    if (!listener) {
        trace("window open " + inQuotes(caption) + " failed");
        return nullptr;
    }
    {
        std::lock_guard lock(mutex_);
        receivers_[std::string(caption)] = receiver;
    }
    auto window = std::make_unique<SimMessageWindow>(handleOf(caption), std::string(caption), std::move(listener));
    trace("window open " + inQuotes(caption) + " " + sim::Trace::hexNumber(window->handle()));
    return window;
}

}  // namespace

WindowMessages& windowMessages() { return instance(); }

}  // namespace kv::platform
