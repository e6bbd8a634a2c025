// Open registry keys of the simulated host: each handle names a key of the machine's registry
// tree by its full path. A key deleted while a handle is open (by this program or by another on
// the same machine directory) leaves the handle valid but marked deleted: every call through it
// then fails with ERROR_KEY_DELETED, as on Windows, and a key made again under the same path is
// not reached through the old handle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kv/sim/handle_table.h"
#include "kv/sim/registry_tree.h"

namespace kv::sim {

struct OpenKey {
    std::u16string path;  // "HKEY_LOCAL_MACHINE\SYSTEM\..."
    uint32_t access = 0;
    bool deleted = false;
};

class RegistryKeys {
public:
    // The full path of a handle (predefined root or open key); empty when unknown.
    std::u16string pathOf(void* handle);
    void* open(std::u16string path, uint32_t access) { return keys_.add(OpenKey{std::move(path), access}); }
    OpenKey* find(void* handle) { return keys_.find(handle); }
    bool close(void* handle) { return keys_.remove(handle); }
    void reset() { keys_.clear(); }
    // Marks every open key the tree no longer holds as deleted.
    void markDeleted(const RegistryTree& tree);

private:
    HandleTable<OpenKey> keys_;
};

std::u16string joinRegistryPath(std::u16string_view parent, std::u16string_view sub);

}  // namespace kv::sim
