#include "install_driver_file.h"

#include "kv/platform/files.h"
#include "kv/platform/system.h"
#include "kv/platform/ui.h"
#include "kv/text.h"

namespace kv::plantdrv {

namespace {

void say(std::string_view line) { platform::console().write(line); }

}  // namespace

std::u16string targetPathIn(std::u16string_view windowsDirectory) {
    return std::u16string(windowsDirectory) + u"\\System32\\Drivers\\" + std::u16string(kDriverFile);
}

void installDriverFile() {
    const bool redirected = platform::runsUnderWow64();
    void* redirection = nullptr;
    if (redirected) {
        if (!platform::system().disableFsRedirection(&redirection)) {
            say("Disable WOW64 Failed\n");
            return;
        }
        say("Disable WOW64\n");
    }

    const std::u16string target = targetPathIn(platform::files().windowsDirectory());
    say("System Directory:   " + utf16ToAnsi(target) + "\n");
    if (!platform::files().copy(kDriverFile, target, false)) say("CopyFile Fail:   " + utf16ToAnsi(kDriverFile) + "\n");

    if (redirected && platform::system().revertFsRedirection(redirection)) say("Enable WOW64\n");
}

}  // namespace kv::plantdrv
