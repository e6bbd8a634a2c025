// What tells one version of a file from the next: a file replaced by a rename has another id, a
// file rewritten in place another size or time.
#pragma once

#include <cstdint>
#include <filesystem>

namespace kv::sim {

struct FileStamp {
    bool exists = false;  // false: the file is missing
    uint64_t device = 0;
    uint64_t id = 0;
    uint64_t size = 0;
    uint64_t modified = 0;
    uint64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file as it is now.
FileStamp fileStampOf(const std::filesystem::path& path);

}  // namespace kv::sim
