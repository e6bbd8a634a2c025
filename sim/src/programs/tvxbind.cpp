// The binding tool. Its command lines:
//   /sb /b <list file>                               list every binding as "<path>,<adapter GUID>"
//   /cb /b <component> /b2 <path> /b3 <state file>   write "Binded" or "Unbinded" for one binding
//   /ub /b <component> /b2 <path>                    unbind it
//   /pb /b <component> /b2 <path>                    bind it again
// Every command ends by writing "completed.txt". A command line it does not understand ends the
// tool at once with exit code 1 and no files.
#include <optional>

#include "kv/sim/host.h"
#include "kv/sim/programs.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

constexpr uint32_t kDefaultDelayMs = 300;

struct Command {
    std::string verb;  // "/sb", "/cb", "/ub", "/pb"
    std::string b, b2, b3;
};

std::optional<Command> parse(const std::vector<std::string>& args) {
    Command c;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string sw = lowerAscii(args[i]);
        std::string* value = sw == "/b" ? &c.b : sw == "/b2" ? &c.b2 : sw == "/b3" ? &c.b3 : nullptr;
        if (value) {
            if (i + 1 >= args.size()) return std::nullopt;
            *value = args[++i];
        } else if ((sw == "/sb" || sw == "/cb" || sw == "/ub" || sw == "/pb") && c.verb.empty()) {
            c.verb = sw;
        } else {
            return std::nullopt;
        }
    }
    if (c.verb.empty() || c.b.empty()) return std::nullopt;
    if (c.verb != "/sb" && c.b2.empty()) return std::nullopt;
    if (c.verb == "/cb" && c.b3.empty()) return std::nullopt;
    return c;
}

std::string listing(Host& host, const Json& extraLines) {
    std::string text;
    auto& machine = host.machine();
    for (const auto& b : machine.bindings)
        text += b.path + "," + utf16ToUtf8(machine.adapters[b.adapterIndex]->guid) + "\n";
    for (const Json& line : extraLines.elements()) text += line.asString() + "\n";
    return text;
}

}  // namespace

ProgramExit runBindingTool(ProgramRun& run) {
    const auto command = parse(run.args);
    if (!command) {
        run.host.trace().add("tool tvxbind usage");
        return {1, 0};
    }
    const ToolSettings tool = toolSettings(run.host, "tvxbind", kDefaultDelayMs);
    Host& host = run.host;
    const auto directory = run.directory;
    const Command c = *command;
    std::function<std::string()> work;
    if (c.verb == "/sb") {
        work = [&host, directory, c, extra = tool.faults["extraListLines"]] {
            return writeToolFile(directory, c.b, listing(host, extra)) ? "list " + c.b : "list " + c.b + " refused";
        };
    } else if (c.verb == "/cb") {
        work = [&host, directory, c, noStateFile = tool.faults["noStateFile"].asBool(false)] {
            const ProtocolBinding* b = findBinding(host.machine(), c.b, c.b2);
            const std::string state = b && b->bound ? "Binded" : "Unbinded";
            if (noStateFile) return "check " + c.b2 + " " + state + " (no state file)";
            writeToolFile(directory, c.b3, state + "\r\n");
            return "check " + c.b2 + " " + state;
        };
    } else {
        const bool bind = c.verb == "/pb";
        work = [&host, c, bind, stuck = tool.faults["stuckBindings"].asBool(false)] {
            const std::string what = (bind ? "bind " : "unbind ") + c.b2;
            ProtocolBinding* b = findBinding(host.machine(), c.b, c.b2);
            if (!b) return what + " (no such binding)";
            if (stuck) return what + " (stuck)";
            b->bound = bind;
            return what;
        };
    }
    finishLater(run, tool, "tvxbind", std::move(work));
    return {0, tool.delayMs};
}

}  // namespace kv::sim
