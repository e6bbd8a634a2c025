// Replacing a file of the machine directory so that readers, crashes and other writers see
// either the old or the new contents, never a mix, an empty file or a cut one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>

#include "kv/sim/file_error.h"

namespace kv::sim {

// Writes `bytes` to a temporary file of this writer alone beside `path`
// ("<name>.<process>-<n>.tmp"), flushes it to disk, then renames it over `path`. On failure
// `path` is untouched, the temporary file is removed and the system's error is returned.
FileError writeFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// Removes the temporary files that writers of `path` killed half-way left behind. Only for a
// caller holding the lock every writer of `path` takes, so that no live writer's file is among them.
void removeStrayTemporaries(const std::filesystem::path& path);

// Test support: a file system that refuses a write, as a full or read-only one does. The hook is
// asked for every file written atomically; a fault fails that write after `bytesWritten` bytes
// (none: the file cannot even be made).
struct WriteFault {
    FileError error;
    std::optional<size_t> bytesWritten;
};
using WriteFaultHook = std::function<std::optional<WriteFault>(const std::filesystem::path& target)>;
// An empty hook ends the faults.
void setWriteFaultHook(WriteFaultHook hook);

}  // namespace kv::sim
