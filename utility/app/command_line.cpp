#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "app/all_pages_mode.h"

namespace kv::diag {

namespace {

bool isSwitch(std::string_view parameter) {
    return !parameter.empty() && (parameter.front() == '/' || parameter.front() == '-');
}

// The printing switches, which name a document too.
bool isPrintSwitch(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "p" || lower == "pt";
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (const std::string& parameter : arguments) {
        if (isSwitch(parameter) && isAllPagesSwitch(parameter.substr(1))) {
            result.allPages = true;
            continue;
        }
        result.hiddenStart = false;
        if (!isSwitch(parameter)) {
            result.files.push_back(parameter);
            continue;
        }
        const std::string_view name = std::string_view(parameter).substr(1);
        if (name.starts_with("hw")) {
            result.hiddenStart = true;
        } else {
            result.switches.emplace_back(name);
        }
    }
    return result;
}

bool processCommandLine(const CommandLine& commandLine) {
    if (!commandLine.files.empty()) return false;
    return std::none_of(commandLine.switches.begin(), commandLine.switches.end(), isPrintSwitch);
}

}  // namespace kv::diag
