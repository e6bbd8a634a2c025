// The few calls the machine directory needs from the system the simulated host runs on, beyond
// what the standard library offers: files written and flushed to disk, a rename over a file, the
// stamp that tells one version of a file from another, and an advisory lock between processes.
// One implementation for POSIX systems, one for Windows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "kv/sim/file_error.h"
#include "kv/sim/file_stamp.h"

namespace kv::sim::native {

FileStamp stampOf(const std::filesystem::path& path);

// Reads a whole file and the stamp of the very file read.
FileError readFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes, FileStamp* stamp);

// A file created by this writer alone (creation fails when the name exists), closed on
// destruction.
class NewFile {
public:
    virtual ~NewFile() = default;
    virtual FileError write(std::span<const uint8_t> bytes) = 0;
    // Flushes what was written to the disk.
    virtual FileError flush() = 0;
};

std::unique_ptr<NewFile> createNewFile(const std::filesystem::path& path, FileError* error);

// Renames `from` over `to` in one step: a reader sees the old file or the new one.
FileError replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

uint32_t currentProcessId();

// An advisory lock on a lock file, shared between processes: many holders of the shared lock, or
// one of the exclusive lock. The file stays open while the object lives.
class FileLock {
public:
    virtual ~FileLock() = default;
    // Waits until the lock is had.
    virtual FileError lock(bool exclusive) = 0;
    virtual void unlock() = 0;
};

// Opens (or creates) the lock file; null with the error when it can be neither opened nor made.
std::unique_ptr<FileLock> openFileLock(const std::filesystem::path& path, FileError* error);

}  // namespace kv::sim::native
