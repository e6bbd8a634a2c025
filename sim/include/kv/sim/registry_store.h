// The registry of a machine directory as one store shared by every program running on it, as the
// registry of one computer is: registry.reg holds it, each program keeps a copy in memory
// (Machine::registry) and brings it up to date when the file's stamp moved, and every change is
// made under the directory's lock onto the file's latest contents and saved before the lock is
// let go. So a change of one program never undoes another's, and a value read is the one the
// file holds. A machine without a directory keeps its registry in memory only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "kv/sim/file_error.h"
#include "kv/sim/registry_tree.h"

namespace kv::sim {

class Machine;

// Reads registry.reg again when another program changed it since this one last read or wrote it
// (under the shared lock). Cheap when nothing changed: one look at the file's stamp. Returns
// whether the tree was replaced; keys held by pointer are then gone. A file that cannot be read
// or imported leaves the tree as it was.
bool refreshRegistry(Machine& machine);

// One change of the registry: `change` works on the tree and returns 0, or a Windows error when
// it changes nothing. Made under the exclusive lock, onto the file's latest contents (read again
// first when it moved), and saved atomically. When the save fails the tree is put back as it was
// and the error is the save's: ERROR_DISK_FULL, ERROR_ACCESS_DENIED (a read-only directory) or
// ERROR_REGISTRY_IO_FAILED; `saveError`, when given, receives the system's error. `reloaded`,
// when given, tells whether the file was read again first.
using RegistryChange = std::function<uint32_t(RegistryTree&)>;
uint32_t changeRegistry(Machine& machine, const RegistryChange& change, FileError* saveError = nullptr,
                        bool* reloaded = nullptr);

// The Windows error a registry call returns for a save that failed this way.
uint32_t registrySaveError(const FileError& error);

}  // namespace kv::sim
