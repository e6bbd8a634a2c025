// The registry of the simulated machine: its registry tree, shared with the other programs on the
// machine directory through registry.reg (kv/sim/registry_store.h): every call sees their
// changes, every change is saved before the call returns, and a change that cannot be saved
// fails with the save's error. Writes are traced as "regwrite <key> <value> <type> <hex>".
#include "kv/platform/registry.h"

#include <algorithm>
#include <cstring>

#include "kv/sim/host.h"
#include "kv/text.h"

namespace kv::platform {

namespace {

using sim::Host;

// What a change that found nothing to do returns, so that nothing is saved.
constexpr uint32_t kUnchanged = err::kAlreadyExists;

bool isStringType(uint32_t type) {
    return type == regtype::kSz || type == regtype::kExpandSz || type == regtype::kMultiSz;
}

// UTF-16LE value data to ANSI bytes, terminators included, and back.
std::vector<uint8_t> utf16DataToAnsi(const std::vector<uint8_t>& data) {
    std::u16string wide;
    for (size_t i = 0; i + 1 < data.size(); i += 2) wide.push_back(char16_t(data[i] | (data[i + 1] << 8)));
    const std::string narrow = utf16ToAnsi(wide);
    return std::vector<uint8_t>(narrow.begin(), narrow.end());
}

std::vector<uint8_t> ansiDataToUtf16(const uint8_t* data, uint32_t bytes) {
    const std::u16string wide = ansiToUtf16(std::string_view(reinterpret_cast<const char*>(data), bytes));
    std::vector<uint8_t> out;
    for (char16_t c : wide) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
    }
    return out;
}

class SimRegistry : public Registry {
public:
    uint32_t openKey(RegKeyHandle parent, std::u16string_view subKey, uint32_t access, RegKeyHandle* out) override {
        Host::Call call(Host::get());
        std::u16string base;
        if (uint32_t e = pathOf(call.host, parent, 0, &base)) return e;
        std::u16string path = sim::joinRegistryPath(base, subKey);
        if (!call.host.machine().registry.find(path)) return err::kFileNotFound;
        *out = call.host.registryKeys().open(std::move(path), access);
        return err::kSuccess;
    }

    uint32_t createKey(RegKeyHandle parent, std::u16string_view subKey, uint32_t access, RegKeyHandle* out) override {
        Host::Call call(Host::get());
        std::u16string base;
        if (uint32_t e = pathOf(call.host, parent, 0, &base)) return e;
        std::u16string path = sim::joinRegistryPath(base, subKey);
        if (!call.host.machine().registry.find(path)) {
            const uint32_t e = call.host.changeRegistry([&](sim::RegistryTree& tree) {
                if (tree.find(path)) return kUnchanged;  // another program made it meanwhile
                if (!tree.create(path)) return err::kInvalidParameter;
                call.host.trace().add("regwrite " + utf16ToUtf8(path) + " (key)");
                return err::kSuccess;
            });
            if (e != err::kSuccess && e != kUnchanged) return e;
        }
        *out = call.host.registryKeys().open(std::move(path), access);
        return err::kSuccess;
    }

    uint32_t closeKey(RegKeyHandle key) override {
        Host::Call call(Host::get());
        if (isPredefined(key)) return err::kSuccess;
        return call.host.registryKeys().close(key) ? err::kSuccess : err::kInvalidHandle;
    }

    uint32_t queryValue(RegKeyHandle key, std::u16string_view name, uint32_t* type, void* data,
                        uint32_t* bytes) override {
        Host::Call call(Host::get());
        const sim::RegValue* value = nullptr;
        if (uint32_t e = findValue(call.host, key, name, regaccess::kQueryValue, &value)) return e;
        return copyOut(value->type, value->data, type, data, bytes);
    }

    uint32_t setValue(RegKeyHandle key, std::u16string_view name, uint32_t type, const void* data,
                      uint32_t bytes) override {
        const auto* p = static_cast<const uint8_t*>(data);
        return store(key, name, type, std::vector<uint8_t>(p, p + (p ? bytes : 0)));
    }

    uint32_t deleteValue(RegKeyHandle key, std::u16string_view name) override {
        return changeKey(key, regaccess::kSetValue, [&](sim::RegistryKey& node, const std::u16string& path) {
            if (!node.deleteValue(name)) return err::kFileNotFound;
            Host::get().trace().add("regwrite " + utf16ToUtf8(path) + " " + utf16ToUtf8(name) + " (deleted)");
            return err::kSuccess;
        });
    }

    uint32_t deleteKey(RegKeyHandle parent, std::u16string_view subKey) override {
        Host::Call call(Host::get());
        std::u16string base;
        if (uint32_t e = pathOf(call.host, parent, 0, &base)) return e;
        const std::u16string path = sim::joinRegistryPath(base, subKey);
        return call.host.changeRegistry([&](sim::RegistryTree& tree) {
            sim::RegistryKey* node = tree.find(path);
            if (!node) return err::kFileNotFound;
            if (!node->subkeys().empty()) return err::kAccessDenied;  // RegDeleteKey removes leaves only
            tree.remove(path);
            call.host.trace().add("regwrite " + utf16ToUtf8(path) + " (key deleted)");
            return err::kSuccess;
        });
    }

    uint32_t enumKey(RegKeyHandle key, uint32_t index, std::u16string* name) override {
        Host::Call call(Host::get());
        sim::RegistryKey* node = nullptr;
        if (uint32_t e = findKey(call.host, key, 0, &node)) return e;
        const auto& subkeys = node->subkeys();
        if (index >= subkeys.size()) return err::kNoMoreItems;
        *name = subkeys[index]->name();
        return err::kSuccess;
    }

    uint32_t enumValue(RegKeyHandle key, uint32_t index, std::u16string* name, uint32_t* type,
                       std::vector<uint8_t>* data) override {
        Host::Call call(Host::get());
        sim::RegistryKey* node = nullptr;
        if (uint32_t e = findKey(call.host, key, regaccess::kQueryValue, &node)) return e;
        const auto& values = node->values();
        if (index >= values.size()) return err::kNoMoreItems;
        if (name) *name = values[index].name;
        if (type) *type = values[index].type;
        if (data) *data = values[index].data;
        return err::kSuccess;
    }

    uint32_t openKeyA(RegKeyHandle parent, std::string_view subKey, uint32_t access, RegKeyHandle* out) override {
        return openKey(parent, ansiToUtf16(subKey), access, out);
    }

    uint32_t createKeyA(RegKeyHandle parent, std::string_view subKey, uint32_t access, RegKeyHandle* out) override {
        return createKey(parent, ansiToUtf16(subKey), access, out);
    }

    uint32_t queryValueA(RegKeyHandle key, std::string_view name, uint32_t* type, void* data,
                         uint32_t* bytes) override {
        Host::Call call(Host::get());
        const sim::RegValue* value = nullptr;
        if (uint32_t e = findValue(call.host, key, ansiToUtf16(name), regaccess::kQueryValue, &value)) return e;
        return copyOut(value->type, isStringType(value->type) ? utf16DataToAnsi(value->data) : value->data, type, data,
                       bytes);
    }

    uint32_t setValueA(RegKeyHandle key, std::string_view name, uint32_t type, const void* data,
                       uint32_t bytes) override {
        const auto* p = static_cast<const uint8_t*>(data);
        if (!p) bytes = 0;
        return store(key, ansiToUtf16(name), type,
                     isStringType(type) ? ansiDataToUtf16(p, bytes) : std::vector<uint8_t>(p, p + bytes));
    }

    uint32_t deleteValueA(RegKeyHandle key, std::string_view name) override {
        return deleteValue(key, ansiToUtf16(name));
    }

    uint32_t enumKeyA(RegKeyHandle key, uint32_t index, std::string* name) override {
        std::u16string wide;
        const uint32_t e = enumKey(key, index, &wide);
        if (e == err::kSuccess) *name = utf16ToAnsi(wide);
        return e;
    }

    uint32_t enumValueA(RegKeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                        std::vector<uint8_t>* data) override {
        std::u16string wide;
        uint32_t t = 0;
        std::vector<uint8_t> d;
        const uint32_t e = enumValue(key, index, &wide, &t, &d);
        if (e != err::kSuccess) return e;
        if (name) *name = utf16ToAnsi(wide);
        if (type) *type = t;
        if (data) *data = isStringType(t) ? utf16DataToAnsi(d) : d;
        return err::kSuccess;
    }

private:
    static bool isPredefined(RegKeyHandle key) {
        return (reinterpret_cast<uintptr_t>(key) & 0xFFFFFFF0u) == 0x80000000u;
    }

    // The path an open key names, after the registry was brought up to date: kInvalidHandle for an
    // unknown handle, kKeyDeleted for a key deleted since it was opened, kAccessDenied for a key
    // opened without the access asked for.
    static uint32_t pathOf(Host& host, RegKeyHandle key, uint32_t needAccess, std::u16string* path) {
        host.registry();
        *path = host.registryKeys().pathOf(key);
        if (path->empty()) return err::kInvalidHandle;
        if (isPredefined(key)) return err::kSuccess;
        const sim::OpenKey* open = host.registryKeys().find(key);
        if (open && open->deleted) return err::kKeyDeleted;
        if (needAccess && open && (open->access & needAccess) == 0) return err::kAccessDenied;
        return err::kSuccess;
    }

    static uint32_t findKey(Host& host, RegKeyHandle key, uint32_t needAccess, sim::RegistryKey** node) {
        std::u16string path;
        if (uint32_t e = pathOf(host, key, needAccess, &path)) return e;
        *node = host.machine().registry.find(path);  // brought up to date by pathOf
        return *node ? err::kSuccess : err::kFileNotFound;
    }

    static uint32_t findValue(Host& host, RegKeyHandle key, std::u16string_view name, uint32_t needAccess,
                              const sim::RegValue** value) {
        sim::RegistryKey* node = nullptr;
        if (uint32_t e = findKey(host, key, needAccess, &node)) return e;
        *value = node->findValue(name);
        return *value ? err::kSuccess : err::kFileNotFound;
    }

    static uint32_t copyOut(uint32_t valueType, const std::vector<uint8_t>& bytesIn, uint32_t* type, void* data,
                            uint32_t* bytes) {
        if (type) *type = valueType;
        const auto size = static_cast<uint32_t>(bytesIn.size());
        if (!bytes) return data ? err::kInvalidParameter : err::kSuccess;
        if (!data) {
            *bytes = size;
            return err::kSuccess;
        }
        if (*bytes < size) {
            *bytes = size;
            return err::kMoreData;
        }
        if (size) std::memcpy(data, bytesIn.data(), size);
        *bytes = size;
        return err::kSuccess;
    }

    // A change of the values of an open key, made on the registry's latest contents and saved.
    template <typename Change>
    static uint32_t changeKey(RegKeyHandle key, uint32_t needAccess, Change change) {
        Host::Call call(Host::get());
        std::u16string path;
        if (uint32_t e = pathOf(call.host, key, needAccess, &path)) return e;
        return call.host.changeRegistry([&](sim::RegistryTree& tree) {
            sim::RegistryKey* node = tree.find(path);
            // Deleted by another program since this one last looked.
            if (!node) return err::kKeyDeleted;
            return change(*node, path);
        });
    }

    static uint32_t store(RegKeyHandle key, std::u16string_view name, uint32_t type, std::vector<uint8_t> data) {
        return changeKey(key, regaccess::kSetValue, [&](sim::RegistryKey& node, const std::u16string& path) {
            Host::get().trace().add("regwrite " + utf16ToUtf8(path) + " " + utf16ToUtf8(name) + " " +
                                    std::to_string(type) + " " + sim::Trace::hex(data));
            node.setValue(sim::RegValue{std::u16string(name), type, data});
            return err::kSuccess;
        });
    }
};

}  // namespace

Registry& registry() {
    static SimRegistry instance;
    return instance;
}

}  // namespace kv::platform
