// kelvactl's command line: the global switches anywhere among the arguments, the command, its
// positional arguments and its options ("--count 5" or "--count=5").
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::kelvactl {

struct CommandLine {
    bool json = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
    std::string command;  // empty: none given
    std::vector<std::string> positionals;
    std::map<std::string, std::string, std::less<>> options;  // "--count" -> "5"

    std::optional<std::string> option(std::string_view name) const;
};

// The options a command takes, each with a value; nothing for an unknown command (its name is
// then refused by the caller).
using OptionsOf = std::optional<std::vector<std::string_view>> (*)(std::string_view command);

// Throws Failure (usage) for an option the command does not take or one without its value.
CommandLine parseCommandLine(const std::vector<std::string>& arguments, OptionsOf optionsOf);

}  // namespace kv::kelvactl
