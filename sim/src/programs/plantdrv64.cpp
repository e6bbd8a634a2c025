// The driver file installer's twin: what "Plantdrv64.exe" does when the utility starts it on the
// simulated machine. It copies "diag50xp.sys" from the directory it was started from into
// C:\WINDOWS\System32\Drivers (over a file already there) at once, traced
// "tool plantdrv64 copy <from> <to> <ok|err=n>", and ends with 0 whatever happened, as the real
// tool does. The real tool runs on the same machines as a program of its own (installer/); the
// twin acts on the simulated timeline of the program that started it.
#include <string>

#include "kv/protocol.h"
#include "kv/sim/file_copy.h"
#include "kv/sim/host.h"
#include "kv/sim/paths.h"
#include "kv/sim/programs.h"
#include "kv/text.h"

namespace kv::sim {

ProgramExit runDriverFileInstaller(ProgramRun& run) {
    const std::u16string file = protocol::kOlderDriverFile;
    const std::u16string target = u"C:\\WINDOWS\\System32\\Drivers\\" + file;
    const std::filesystem::path from = run.directory / utf16ToUtf8(file);
    const uint32_t error = copyFile(from, resolveWindowsPath(target), false);
    run.host.trace().add(Trace::escape("tool plantdrv64 copy " + from.string() + " " + utf16ToUtf8(target) + " " +
                                       (error ? "err=" + std::to_string(error) : std::string("ok"))));
    return {0, 0};
}

}  // namespace kv::sim
