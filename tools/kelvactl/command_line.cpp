#include "command_line.h"

#include <algorithm>

#include "failure.h"

namespace kv::kelvactl {

namespace {

bool isOption(std::string_view argument) { return argument.size() > 1 && argument[0] == '-'; }

// A global switch; false when the argument is none.
bool takeSwitch(std::string_view argument, CommandLine& line) {
    if (argument == "--json") return line.json = true;
    if (argument == "--verbose" || argument == "-v") return line.verbose = true;
    if (argument == "--help" || argument == "-h" || argument == "-?") return line.help = true;
    if (argument == "--version") return line.version = true;
    return false;
}

std::string usageHint(const CommandLine& line) {
    return line.command.empty() ? "see kelvactl --help" : "see kelvactl " + line.command + " --help";
}

}  // namespace

std::optional<std::string> CommandLine::option(std::string_view name) const {
    const auto found = options.find(name);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments, OptionsOf optionsOf) {
    CommandLine line;
    bool optionsEnded = false;  // after "--" every argument is positional (a name starting with '-')
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !isOption(argument)) {
            if (line.command.empty())
                line.command = argument;
            else
                line.positionals.push_back(argument);
            continue;
        }
        if (takeSwitch(argument, line)) continue;
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto known = line.command.empty() ? std::nullopt : optionsOf(line.command);
        if (!known || std::find(known->begin(), known->end(), name) == known->end())
            fail(exitcode::kUsage, "unknown option " + name + ": " + usageHint(line));
        if (equals != std::string::npos) {
            line.options[name] = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            line.options[name] = arguments[++i];
        } else {
            fail(exitcode::kUsage, "the option " + name + " needs a value: " + usageHint(line));
        }
    }
    return line;
}

}  // namespace kv::kelvactl
