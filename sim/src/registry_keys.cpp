#include "kv/sim/registry_keys.h"

#include "kv/platform/registry.h"

namespace kv::sim {

std::u16string RegistryKeys::pathOf(void* handle) {
    using platform::Hive;
    switch (static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle))) {
        case static_cast<uint32_t>(Hive::ClassesRoot):
            return u"HKEY_CLASSES_ROOT";
        case static_cast<uint32_t>(Hive::CurrentUser):
            return u"HKEY_CURRENT_USER";
        case static_cast<uint32_t>(Hive::LocalMachine):
            return u"HKEY_LOCAL_MACHINE";
        case static_cast<uint32_t>(Hive::Users):
            return u"HKEY_USERS";
        case static_cast<uint32_t>(Hive::CurrentConfig):
            return u"HKEY_CURRENT_CONFIG";
        default:
            break;
    }
    const OpenKey* key = keys_.find(handle);
    return key ? key->path : std::u16string();
}

void RegistryKeys::markDeleted(const RegistryTree& tree) {
    keys_.forEach([&tree](OpenKey& key) {
        if (!key.deleted && !tree.find(key.path)) key.deleted = true;
    });
}

std::u16string joinRegistryPath(std::u16string_view parent, std::u16string_view sub) {
    std::u16string path(parent);
    size_t pos = 0;
    while (pos <= sub.size()) {
        size_t end = sub.find(u'\\', pos);
        if (end == std::u16string_view::npos) end = sub.size();
        if (end > pos) {
            path += u'\\';
            path += sub.substr(pos, end - pos);
        }
        pos = end + 1;
    }
    return path;
}

}  // namespace kv::sim
