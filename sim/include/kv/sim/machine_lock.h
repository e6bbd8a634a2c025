// The advisory lock every program on one machine directory takes on it ("machine.lock" in the
// directory): shared while it reads the registry file, exclusive while it creates the directory
// or changes the registry. Between processes, also on a Windows host; the threads of one
// process are kept apart by the host's own lock.
#pragma once

#include <filesystem>
#include <memory>

#include "kv/sim/file_error.h"

namespace kv::sim {

namespace native {
class FileLock;
}

class MachineLock {
public:
    enum class Mode { Shared, Exclusive };

    // Waits for the lock. A directory where the lock file can be neither opened nor made (a
    // read-only one without it) is not locked: nothing can change it there anyway.
    MachineLock(const std::filesystem::path& directory, Mode mode);
    ~MachineLock();
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;

    bool held() const { return held_; }

    static constexpr const char* kFileName = "machine.lock";

private:
    std::unique_ptr<native::FileLock> lock_;
    bool held_ = false;
};

}  // namespace kv::sim
