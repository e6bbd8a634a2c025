// kelvactl's commands as data: name, synopsis, help, the options each takes and how many
// arguments, and the function that runs it. A command joins by a row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::kelvactl {

class Invocation;

struct Command {
    std::string_view name;
    std::string_view synopsis;  // after "kelvactl "
    std::string_view summary;   // one line for the command list
    std::string_view details;   // the rest of `kelvactl COMMAND --help`
    std::vector<std::string_view> options;
    size_t minArguments;
    size_t maxArguments;
    int (*run)(Invocation&);  // the exit status
};

const std::vector<Command>& commands();
const Command* findCommand(std::string_view name);

std::string generalHelp();
std::string commandHelp(const Command& command);

// The commands' bodies, one file each.
int runList(Invocation& invocation);
int runInfo(Invocation& invocation);
int runStats(Invocation& invocation);
int runCable(Invocation& invocation);
int runGreen(Invocation& invocation);
int runWol(Invocation& invocation);
int runReload(Invocation& invocation);
int runEeprom(Invocation& invocation);
int runRegs(Invocation& invocation);
int runReport(Invocation& invocation);
int runAdvanced(Invocation& invocation);
int runTest(Invocation& invocation);
int runVlan(Invocation& invocation);

}  // namespace kv::kelvactl
