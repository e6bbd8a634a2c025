// Replacing a file so that readers and crashes see either the old or the new contents, never a mix.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kv::sim {

// Writes `bytes` to "<path>.tmp" in the same directory, closes it, then renames it over `path`.
// Returns false (leaving `path` untouched and no temporary file behind) when any step fails.
bool writeFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace kv::sim
