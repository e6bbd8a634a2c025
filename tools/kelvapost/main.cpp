// kelvapost: posts one value of the utility's window message protocol (WM_USER+1, wParam 0) to
// the running utility, found by its window caption. It is the outside program that asks the
// utility to quit ("kelvapost quit").
//
//   kelvapost [--caption TEXT] VALUE
//
// Exit codes: 0 posted, 1 usage, 2 no window with the caption, 3 the post failed.
#include <cstdio>
#include <string>
#include <string_view>

#include "kv/platform/ui.h"
#include "kv/platform/window_messages.h"
#include "message_value.h"

namespace {

constexpr std::string_view kUtilityCaption = "Tavrick - Ethernet Diagnostic Utility";
constexpr uint32_t kProtocolMessage = kv::platform::kWmUser + 1;

void say(const std::string& line) { kv::platform::console().write(line + "\n"); }

int usage() {
    say("usage: kelvapost [--caption TEXT] VALUE");
    say("  VALUE is a number (decimal or 0x hexadecimal) or one of:");
    for (const auto& named : kv::kelvapost::kNamedValues) {
        char value[16];
        std::snprintf(value, sizeof value, "0x%04llX", static_cast<unsigned long long>(named.value));
        say("    " + std::string(named.name) + std::string(14 - named.name.size(), ' ') + value + "  " +
            std::string(named.meaning));
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string caption(kUtilityCaption);
    std::string_view valueText;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--caption" && i + 1 < argc) {
            caption = argv[++i];
        } else if (valueText.empty() && !arg.starts_with("--")) {
            valueText = arg;
        } else {
            return usage();
        }
    }
    const auto value = kv::kelvapost::parseMessageValue(valueText);
    if (!value) return usage();

    auto& windows = kv::platform::windowMessages();
    const kv::platform::WindowHandle window = windows.findWindow(caption);
    if (window == 0) {
        say("No window \"" + caption + "\" is running.");
        return 2;
    }
    if (!windows.postMessage(window, kProtocolMessage, 0, *value)) {
        say("Posting to \"" + caption + "\" failed.");
        return 3;
    }
    say("Posted " + std::string(valueText) + " to \"" + caption + "\".");
    return 0;
}
