// machine.json: the JSON reader on any bytes; a document it read is written and read back equal;
// and the machine loader on every document that parses builds the machine or refuses it with a
// message, never crashes.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "fuzz_check.h"
#include "kv/sim/devices.h"
#include "kv/sim/json.h"
#include "kv/sim/machine.h"

using kv::fuzz::check;
using namespace kv::sim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Json config;
    try {
        config = parseJson(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const JsonError&) {
        return 0;
    }
    check(parseJson(writeJson(config)) == config, "a written document reads back equal");
    check(parseJson(writeJson(config, 0)) == config, "a compact document reads back equal");
    try {
        auto machine = buildMachine(config);
        addMissingDriverKeys(*machine);
        addMissingConnectionKeys(*machine);
    } catch (const std::runtime_error&) {
        // A refused machine: the message names the problem.
    }
    return 0;
}
