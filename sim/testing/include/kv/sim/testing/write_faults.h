// A machine directory on a full or read-only file system, for as long as the object lives: every
// file written atomically fails as such a file system fails it (kv/sim/atomic_file.h).
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "kv/sim/atomic_file.h"

namespace kv::sim::testing {

class WriteFaults {
public:
    // A full disk: each file is cut after `bytesWritten` bytes.
    static WriteFaults diskFull(size_t bytesWritten = 0) {
        return WriteFaults({FileError::Kind::DiskFull, 28, "No space left on device"}, bytesWritten, {});
    }
    // A read-only file system: no file can be made.
    static WriteFaults readOnly() {
        return WriteFaults({FileError::Kind::ReadOnly, 30, "Read-only file system"}, std::nullopt, {});
    }
    // Only the files whose name is `fileName` fail, as a disk that fills up at that file.
    static WriteFaults diskFullAt(std::string fileName) {
        return WriteFaults({FileError::Kind::DiskFull, 28, "No space left on device"}, 0, std::move(fileName));
    }

    WriteFaults(WriteFaults&& other) noexcept : active_(std::exchange(other.active_, false)) {}
    WriteFaults(const WriteFaults&) = delete;
    WriteFaults& operator=(const WriteFaults&) = delete;
    WriteFaults& operator=(WriteFaults&&) = delete;
    ~WriteFaults() {
        if (active_) setWriteFaultHook({});
    }

private:
    WriteFaults(FileError error, std::optional<size_t> bytesWritten, std::string onlyFile) {
        setWriteFaultHook([error, bytesWritten, onlyFile](const std::filesystem::path& target) {
            if (!onlyFile.empty() && target.filename() != onlyFile) return std::optional<WriteFault>();
            return std::optional<WriteFault>(WriteFault{error, bytesWritten});
        });
    }
    bool active_ = true;
};

}  // namespace kv::sim::testing
