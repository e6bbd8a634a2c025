// The simulated host's registry: an in-memory tree of keys and values with Windows naming rules.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv::sim {

// Value types as Windows numbers them. Other numbers can occur and are kept as raw bytes.
enum RegType : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11,
};

// A named value. `data` holds exactly the bytes Windows stores: strings as UTF-16LE with their
// terminating NUL, multi-strings as NUL-terminated UTF-16LE strings plus a final NUL, DWORD and
// QWORD little-endian.
struct RegValue {
    std::u16string name;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;

    static RegValue string(std::u16string name, std::u16string_view value, uint32_t type = kRegSz);
    static RegValue dword(std::u16string name, uint32_t value);
    static RegValue qword(std::u16string name, uint64_t value);
    static RegValue binary(std::u16string name, std::vector<uint8_t> bytes);
    // Empty strings cannot be stored inside a multi-string (they would end the list) and are skipped.
    static RegValue multiString(std::u16string name, const std::vector<std::u16string>& strings);

    // The data as UTF-16LE up to the first NUL, whatever the type; a trailing odd byte is ignored.
    std::u16string asString() const;
    // The first 4 (or 8) bytes little-endian; 0 when the data is shorter.
    uint32_t asDword() const;
    uint64_t asQword() const;
    // The strings of a multi-string, up to the first empty one; a missing final NUL is tolerated.
    std::vector<std::u16string> asMultiString() const;

    bool operator==(const RegValue&) const = default;
};

// A key: its name as first created, its values and its subkeys, both in creation order (the order
// enumeration returns them in). Names are compared ASCII-case-insensitively, as Windows does.
// Subkeys are individually allocated, so pointers to keys stay valid while siblings are added;
// deleting a key invalidates pointers into its subtree. Copying copies the whole subtree.
class RegistryKey {
public:
    explicit RegistryKey(std::u16string name) : name_(std::move(name)) {}
    RegistryKey(const RegistryKey& other);
    RegistryKey& operator=(const RegistryKey& other);
    RegistryKey(RegistryKey&&) noexcept = default;
    RegistryKey& operator=(RegistryKey&&) noexcept = default;
    ~RegistryKey() = default;

    const std::u16string& name() const { return name_; }

    const RegValue* findValue(std::u16string_view name) const;
    // Adds the value at the end, or replaces the type and data of the value with that name in place.
    // A replaced value keeps the spelling of its name as first created.
    void setValue(RegValue value);
    bool deleteValue(std::u16string_view name);

    RegistryKey* findSubkey(std::u16string_view name);
    const RegistryKey* findSubkey(std::u16string_view name) const;
    // Returns the existing subkey with that name, or appends a new one. `name` is a single path
    // component; the caller ensures it is non-empty and has no backslash.
    RegistryKey& createSubkey(std::u16string_view name);
    // Removes the subkey and everything below it.
    bool deleteSubkey(std::u16string_view name);

    const std::vector<RegValue>& values() const { return values_; }
    const std::vector<std::unique_ptr<RegistryKey>>& subkeys() const { return subkeys_; }

private:
    std::u16string name_;
    std::vector<RegValue> values_;
    std::vector<std::unique_ptr<RegistryKey>> subkeys_;
};

// The whole registry: the five root keys, addressed by paths such as
// "HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet". A path starts with a root name, full or abbreviated
// (HKLM, HKCU, HKCR, HKU, HKCC), any case. Empty components ("A\\B", a leading backslash) make a
// path invalid; a single trailing backslash is tolerated. The roots are independent keys here: the
// views Windows links between them (HKCR onto the classes of HKLM, for example) are not modelled.
class RegistryTree {
public:
    RegistryTree();
    RegistryTree(const RegistryTree& other);
    RegistryTree& operator=(const RegistryTree& other);
    RegistryTree(RegistryTree&&) noexcept = default;
    RegistryTree& operator=(RegistryTree&&) noexcept = default;
    ~RegistryTree() = default;

    // nullptr when the path is invalid or the key does not exist.
    RegistryKey* find(std::u16string_view fullPath);
    const RegistryKey* find(std::u16string_view fullPath) const;
    // Creates the key and any missing parents; nullptr only when the path is invalid.
    RegistryKey* create(std::u16string_view fullPath);
    // Removes a key and its subtree. Roots cannot be removed.
    bool remove(std::u16string_view fullPath);

    RegistryKey* root(std::u16string_view hiveName);
    const RegistryKey* root(std::u16string_view hiveName) const;
    // In the order HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS,
    // HKEY_CURRENT_CONFIG.
    const std::vector<std::unique_ptr<RegistryKey>>& roots() const { return roots_; }

    // The full root name for a full or abbreviated one ("hklm" -> "HKEY_LOCAL_MACHINE"); empty when
    // the name is not a root.
    static std::u16string_view canonicalRootName(std::u16string_view name);
    // Whether `fullPath` names a root and has no empty components; says nothing about existence.
    static bool isValidPath(std::u16string_view fullPath);

private:
    std::vector<std::unique_ptr<RegistryKey>> roots_;
};

}  // namespace kv::sim
