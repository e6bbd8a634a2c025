// kelvactl: the suite's scripting command line. Parses the command line, routes the library's own
// messages away from standard output, runs the command and ends with its exit status; Ctrl+C
// stops a command at its next safe point.
#include <algorithm>
#include <exception>

#include "command_line.h"
#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "kv/jobs/system_facts.h"
#include "kv/platform/terminal.h"
#include "library_messages.h"
#include "output.h"

namespace kv::kelvactl {

namespace {

constexpr char kInterruptNotice[] =
    "\nkelvactl: stopping after the current step and putting back what it changed; press Ctrl+C again to end at "
    "once\n";

std::optional<std::vector<std::string_view>> optionsOf(std::string_view name) {
    const Command* command = findCommand(name);
    if (!command) return std::nullopt;
    return command->options;
}

const Command& commandOf(const CommandLine& line) {
    if (line.command.empty()) fail(exitcode::kUsage, "name a command: see kelvactl --help");
    const Command* command = findCommand(line.command);
    if (!command) fail(exitcode::kUsage, "there is no command \"" + line.command + "\": see kelvactl --help");
    const size_t given = line.positionals.size();
    if (given < command->minArguments || given > command->maxArguments)
        fail(exitcode::kUsage,
             "usage: kelvactl " + std::string(command->synopsis) + " (see kelvactl " + line.command + " --help)");
    return *command;
}

// Whether the output is a JSON document: known before the rest of the line is read, so that a
// usage error is reported as one too.
bool asksForJson(const std::vector<std::string>& arguments) {
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    return std::find(arguments.begin(), end, "--json") != end;
}

int run(const std::vector<std::string>& arguments, Output& out) {
    const CommandLine line = parseCommandLine(arguments, optionsOf);
    if (line.version) {
        out.print("kelvactl " + std::string(jobs::suiteVersion()) + "\n");
        out.setDocument(JsonValue::object().set("version", jobs::suiteVersion()));
        return exitcode::kDone;
    }
    if (line.help || line.command == "help") {
        const std::string topic = line.command == "help" && !line.positionals.empty() ? line.positionals[0]
                                  : line.command == "help"                            ? std::string()
                                                                                      : line.command;
        const Command* command = topic.empty() ? nullptr : findCommand(topic);
        if (!topic.empty() && !command)
            fail(exitcode::kUsage, "there is no command \"" + topic + "\": see kelvactl --help");
        out.printHelp(command ? commandHelp(*command) : generalHelp());
        return exitcode::kDone;
    }
    const Command& command = commandOf(line);
    LibraryMessages messages(out, line.verbose);
    Invocation invocation(line, out, messages);
    return command.run(invocation);
}

}  // namespace

}  // namespace kv::kelvactl

int main(int argc, char** argv) {
    using namespace kv::kelvactl;
    kv::platform::useUtf8Console();
    kv::platform::catchInterrupts(kInterruptNotice);
    const std::vector<std::string> arguments = kv::platform::programArguments(argc, argv);
    Output output(asksForJson(arguments), kv::platform::standardErrorIsTerminal());
    int status = exitcode::kDone;
    try {
        status = run(arguments, output);
    } catch (const Failure& failure) {
        status = failure.exitCode();
        output.error(status, failure.what());
    } catch (const std::exception& e) {
        status = exitcode::kLibraryFailed;
        output.error(status, std::string("unexpected failure: ") + e.what());
    }
    output.finish();
    return status;
}
