#include "kv/sim/machine_lock.h"

#include "native/file_system.h"

namespace kv::sim {

MachineLock::MachineLock(const std::filesystem::path& directory, Mode mode) {
    FileError error;
    lock_ = native::openFileLock(directory / kFileName, &error);
    held_ = lock_ && !lock_->lock(mode == Mode::Exclusive);
}

MachineLock::~MachineLock() {
    if (held_) lock_->unlock();
}

}  // namespace kv::sim
