#include "adapter_context.h"

#include <algorithm>

namespace kv::capture {

std::string AdapterContext::label(std::string_view what) const {
    return "adapter " + std::to_string(index_) + " " + std::string(what);
}

void AdapterContext::failed(std::string_view what, uint32_t command) {
    log_.skipped(label(what), "command " + hexNumber(command, 8) + " failed");
    if (std::find(failedCommands_.begin(), failedCommands_.end(), command) == failedCommands_.end())
        failedCommands_.push_back(command);
}

void AdapterContext::skipped(std::string_view what, std::string_view why) { log_.skipped(label(what), why); }

void AdapterContext::note(std::string_view line) { log_.note(label(line)); }

namespace {
bool isPrivateCommand(uint32_t command) { return (command & 0xFFFF0000u) == 0xFF440000u; }
}  // namespace

void AdapterContext::recordFailures() {
    const bool privateFailed = std::any_of(failedCommands_.begin(), failedCommands_.end(), isPrivateCommand);
    const bool noPrivateCommands = privateCommandsUnlisted_ && privateFailed;
    if (noPrivateCommands) {
        json_.member("faults").set("noPrivateCommands", true);
        note("lacks the maker's private commands");
    }
    JsonValue ids = JsonValue::array();
    for (uint32_t command : failedCommands_)
        if (!noPrivateCommands || !isPrivateCommand(command)) ids.push(hexNumber(command, 8));
    if (!ids.empty()) json_.member("faults").set("failingOids", std::move(ids));
}

}  // namespace kv::capture
