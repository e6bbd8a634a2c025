// machine.json as the capture writes it: the suite's JSON tree (kv/json_value.h) and the hex texts
// of the images.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kv/json_value.h"

namespace kv::capture {

using JsonValue = kv::JsonValue;

// Bytes as lines of blank-separated hex pairs ("00 1d 7a ..."), `perLine` bytes a line.
JsonValue hexByteLines(std::span<const uint8_t> bytes, size_t perLine = 32);
// 16-bit words as one line of blank-separated four-digit hex ("1140 7949 ...").
std::string hexWordLine(std::span<const uint16_t> words);

// "0x1D7A"-style hex text of a number, `digits` digits at least.
std::string hexNumber(uint64_t value, int digits);

}  // namespace kv::capture
