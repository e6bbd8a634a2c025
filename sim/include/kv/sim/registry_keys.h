// Open registry keys of the simulated host: each handle names a key of the machine's registry
// tree by its full path, so a key deleted meanwhile is simply gone.
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
};

class RegistryKeys {
public:
    // The full path of a handle (predefined root or open key); empty when unknown.
    std::u16string pathOf(void* handle);
    void* open(std::u16string path, uint32_t access) { return keys_.add(OpenKey{std::move(path), access}); }
    OpenKey* find(void* handle) { return keys_.find(handle); }
    bool close(void* handle) { return keys_.remove(handle); }
    void reset() { keys_.clear(); }

private:
    HandleTable<OpenKey> keys_;
};

std::u16string joinRegistryPath(std::u16string_view parent, std::u16string_view sub);

}  // namespace kv::sim
