// A file copy on the simulated machine with the outcome the system's CopyFile reports.
#pragma once

#include <cstdint>
#include <filesystem>

namespace kv::sim {

// Copies `from` to `to` (real paths; an empty one is a path off the machine), over an existing
// target unless failIfExists. The copy is written beside the target, flushed and renamed over
// it, so that another program on the machine directory never finds the target missing or cut.
// Returns 0 or the Windows error: 2 no source file, 3 no target folder, 80 the target exists,
// 112 the disk is full, 5 the target cannot be written.
uint32_t copyFile(const std::filesystem::path& from, const std::filesystem::path& to, bool failIfExists);

}  // namespace kv::sim
