// Reading the parts of machine.json that describe one adapter.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "kv/sim/adapter/adapter.h"
#include "kv/sim/json.h"

namespace kv::sim {

// "00-1D-7A-44-50-01" or "00:1d:7a:44:50:01". Throws std::runtime_error when malformed.
std::array<uint8_t, 6> parseMac(std::string_view text);
// The adapter's identity, PCI data, link and binding faults.
void readAdapter(const Json& j, Adapter& adapter);

}  // namespace kv::sim
