// Kelvacapture: writes everything the suite can read of this computer into a machine directory,
// which the simulated host replays ("Kelvacapture <directory>").
#include <string>
#include <vector>

#include "kv/platform/system.h"
#include "kv/platform/ui.h"
#include "machine_capture.h"

namespace {

// The tokens of a command line: blanks separate them, double quotes group blanks into one.
std::vector<std::u16string> tokens(std::u16string_view line) {
    std::vector<std::u16string> out;
    std::u16string current;
    bool quoted = false;
    bool inToken = false;
    for (char16_t c : line) {
        if (c == u'"') {
            quoted = !quoted;
            inToken = true;
        } else if ((c == u' ' || c == u'\t') && !quoted) {
            if (inToken) out.push_back(std::move(current));
            current.clear();
            inToken = false;
        } else {
            current += c;
            inToken = true;
        }
    }
    if (inToken) out.push_back(std::move(current));
    return out;
}

}  // namespace

int main() {
    const auto arguments = tokens(kv::platform::system().commandLine());
    if (arguments.size() != 2) {
        kv::platform::console().write("usage: Kelvacapture <directory>\n");
        return 2;
    }
    return kv::capture::captureMachine(arguments[1]);
}
