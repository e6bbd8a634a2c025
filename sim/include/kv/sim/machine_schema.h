// What machine.json may hold: every field the simulated host reads, its type and its range. A
// machine file is the user's input, so a field that is unknown, of the wrong type or out of range
// is an error, never a default put in its place.
#pragma once

#include "kv/sim/json.h"

namespace kv::sim {

// Throws std::runtime_error "<field path>: <what it expects>, not <what it holds>" for the first
// field that does not fit ("adapters[0].link.up: expects true or false, not \"no\"").
void checkMachineJson(const Json& config);

}  // namespace kv::sim
