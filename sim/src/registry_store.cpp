#include "kv/sim/registry_store.h"

#include <cstdio>

#include "kv/platform/types.h"
#include "kv/sim/atomic_file.h"
#include "kv/sim/machine.h"
#include "kv/sim/machine_lock.h"
#include "kv/sim/reg_file.h"
#include "native/file_system.h"

namespace kv::sim {

namespace {

std::filesystem::path registryPath(const Machine& machine) { return machine.directory / "registry.reg"; }

// Imports the file into the tree when its stamp differs from the one last seen; a file that is
// missing, unreadable or not a registry file keeps the tree (its stamp is remembered, so it is not
// tried again until it changes).
bool reloadIfChanged(Machine& machine) {
    const auto path = registryPath(machine);
    if (native::stampOf(path) == machine.registryStamp) return false;
    std::vector<uint8_t> bytes;
    FileStamp stamp;
    if (native::readFile(path, &bytes, &stamp) || bytes.empty()) {
        machine.registryStamp = stamp;
        return false;
    }
    machine.registryStamp = stamp;
    std::vector<std::string> warnings;
    try {
        RegistryTree tree;
        applyRegFile(tree, bytes, &warnings);
        machine.registry = std::move(tree);
        machine.registryEncoding = detectRegFileEncoding(bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "registry.reg: %s\n", e.what());
        return false;
    }
    for (const auto& w : warnings) std::fprintf(stderr, "registry.reg: %s\n", w.c_str());
    return true;
}

}  // namespace

bool refreshRegistry(Machine& machine) {
    if (machine.directory.empty()) return false;
    // The common case, nothing changed, takes no lock.
    if (native::stampOf(registryPath(machine)) == machine.registryStamp) return false;
    const MachineLock lock(machine.directory, MachineLock::Mode::Shared);
    return reloadIfChanged(machine);
}

uint32_t changeRegistry(Machine& machine, const RegistryChange& change, FileError* saveError, bool* reloaded) {
    if (reloaded) *reloaded = false;
    if (machine.directory.empty()) return change(machine.registry);
    const MachineLock lock(machine.directory, MachineLock::Mode::Exclusive);
    const bool fresh = reloadIfChanged(machine);
    if (reloaded) *reloaded = fresh;
    RegistryTree before = machine.registry;
    if (const uint32_t error = change(machine.registry)) {
        machine.registry = std::move(before);
        return error;
    }
    const auto path = registryPath(machine);
    removeStrayTemporaries(path);
    const FileError error = writeFileAtomically(path, writeRegFile(machine.registry, machine.registryEncoding));
    if (error) {
        machine.registry = std::move(before);
        if (saveError) *saveError = error;
        return registrySaveError(error);
    }
    machine.registryStamp = native::stampOf(path);
    return platform::err::kSuccess;
}

uint32_t registrySaveError(const FileError& error) {
    switch (error.kind) {
        case FileError::Kind::None:
            return platform::err::kSuccess;
        case FileError::Kind::DiskFull:
            return platform::err::kDiskFull;
        case FileError::Kind::ReadOnly:
            return platform::err::kAccessDenied;
        case FileError::Kind::Other:
            break;
    }
    return platform::err::kRegistryIoFailed;
}

}  // namespace kv::sim
