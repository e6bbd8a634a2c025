// The utility's command line: the arguments (split at zero bytes of the input) parsed for "/hw",
// "/allpages" and the standard handling. Whatever the arguments, the hidden start follows the last
// parameter that is not "/allpages", every parameter lands in exactly one place, and the start
// goes on only without documents and printing switches.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/all_pages_mode.h"
#include "app/command_line.h"
#include "fuzz_check.h"

using kv::fuzz::check;

namespace {

bool isSwitch(const std::string& parameter) {
    return !parameter.empty() && (parameter[0] == '/' || parameter[0] == '-');
}

std::vector<std::string> splitAtZeros(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(static_cast<char>(data[i]));
    }
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> arguments = splitAtZeros(data, size);
    const kv::diag::CommandLine parsed = kv::diag::parseCommandLine(arguments);

    size_t allPagesSwitches = 0;
    bool hidden = false;
    for (const std::string& parameter : arguments) {
        if (isSwitch(parameter) && kv::diag::isAllPagesSwitch(parameter.substr(1))) {
            ++allPagesSwitches;
            continue;
        }
        hidden = isSwitch(parameter) && parameter.compare(1, 2, "hw") == 0;
    }
    check(parsed.allPages == (allPagesSwitches > 0), "the all-pages switch is seen wherever it stands");
    check(parsed.hiddenStart == hidden, "the hidden start follows the last other parameter");

    size_t hiddenSwitches = 0;
    for (const std::string& parameter : arguments)
        if (isSwitch(parameter) && !kv::diag::isAllPagesSwitch(parameter.substr(1)) &&
            parameter.compare(1, 2, "hw") == 0)
            ++hiddenSwitches;
    check(parsed.files.size() + parsed.switches.size() + hiddenSwitches + allPagesSwitches == arguments.size(),
          "every parameter lands in exactly one place");
    for (const std::string& file : parsed.files) check(!isSwitch(file), "a document is no switch");

    if (!parsed.files.empty()) check(!kv::diag::processCommandLine(parsed), "a document to open ends the start");
    return 0;
}
