// Byte overrides as machine.json writes them: an object of offset -> byte, both decimal numbers
// or hex strings ({"0x43": "0x3C", "80": 7}).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "kv/sim/json.h"

namespace kv::sim {

// Stores each byte of `map` into `bytes`. Throws std::runtime_error naming `what` for an offset
// outside `bytes` or a value above 0xFF.
void applyByteMap(const Json& map, std::span<uint8_t> bytes, std::string_view what);

}  // namespace kv::sim
