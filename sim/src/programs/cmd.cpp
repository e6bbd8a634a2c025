// The command interpreter, as far as the suite uses it: "/c del <file> ...", which deletes files
// of the directory it was started from after its delay. Names with a directory part are left
// alone; any other command ends it at once with exit code 1.
#include "kv/sim/host.h"
#include "kv/sim/programs.h"

namespace kv::sim {

namespace {
constexpr uint32_t kDefaultDelayMs = 50;
}  // namespace

ProgramExit runCommandInterpreter(ProgramRun& run) {
    const auto& a = run.args;
    if (a.size() < 3 || lowerAscii(a[0]) != "/c" || lowerAscii(a[1]) != "del") {
        run.host.trace().add("tool cmd unsupported");
        return {1, 0};
    }
    std::vector<std::string> names(a.begin() + 2, a.end());
    const ToolSettings tool = toolSettings(run.host, "cmd", kDefaultDelayMs);
    Host& host = run.host;
    host.clock().schedule(tool.delayMs, [&host, directory = run.directory, names] {
        for (const auto& name : names) {
            std::error_code ec;
            const bool plain = isPlainFileName(name);
            const bool removed = plain && std::filesystem::remove(directory / name, ec);
            host.trace().add("tool cmd del " + name + (removed ? "" : plain ? " (not found)" : " (refused)"));
        }
    });
    return {0, tool.delayMs};
}

}  // namespace kv::sim
