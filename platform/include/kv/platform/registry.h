// The system registry: keys by handle, values with byte capacities, enumeration, W and A forms.
// Every call returns a Windows error number (0 on success), as the registry API does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kv/platform/types.h"

namespace kv::platform {

// The predefined root keys, with the values Windows gives them.
enum class Hive : uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    CurrentConfig = 0x80000005u,
};
inline RegKeyHandle hiveKey(Hive hive) { return reinterpret_cast<RegKeyHandle>(static_cast<uintptr_t>(hive)); }

// Access masks, as Windows defines them.
namespace regaccess {
inline constexpr uint32_t kQueryValue = 0x0001;
inline constexpr uint32_t kSetValue = 0x0002;
inline constexpr uint32_t kRead = 0x20019;
inline constexpr uint32_t kWrite = 0x20006;
inline constexpr uint32_t kAllAccess = 0xF003F;
}  // namespace regaccess

// Value types.
namespace regtype {
inline constexpr uint32_t kNone = 0;
inline constexpr uint32_t kSz = 1;
inline constexpr uint32_t kExpandSz = 2;
inline constexpr uint32_t kBinary = 3;
inline constexpr uint32_t kDword = 4;
inline constexpr uint32_t kMultiSz = 7;
inline constexpr uint32_t kQword = 11;
}  // namespace regtype

class Registry {
public:
    virtual ~Registry() = default;
    virtual uint32_t openKey(RegKeyHandle parent, std::u16string_view subKey, uint32_t access, RegKeyHandle* out) = 0;
    virtual uint32_t createKey(RegKeyHandle parent, std::u16string_view subKey, uint32_t access, RegKeyHandle* out) = 0;
    virtual uint32_t closeKey(RegKeyHandle key) = 0;
    // RegQueryValueExW: *bytes is the capacity in, the size out. A null data pointer asks for the
    // size only. A value larger than the capacity fails with ERROR_MORE_DATA.
    virtual uint32_t queryValue(RegKeyHandle key, std::u16string_view name, uint32_t* type, void* data,
                                uint32_t* bytes) = 0;
    virtual uint32_t setValue(RegKeyHandle key, std::u16string_view name, uint32_t type, const void* data,
                              uint32_t bytes) = 0;
    virtual uint32_t deleteValue(RegKeyHandle key, std::u16string_view name) = 0;
    virtual uint32_t deleteKey(RegKeyHandle parent, std::u16string_view subKey) = 0;
    // ERROR_NO_MORE_ITEMS past the last entry.
    virtual uint32_t enumKey(RegKeyHandle key, uint32_t index, std::u16string* name) = 0;
    virtual uint32_t enumValue(RegKeyHandle key, uint32_t index, std::u16string* name, uint32_t* type,
                               std::vector<uint8_t>* data) = 0;

    // The 8-bit ANSI forms: names in the ANSI code page, string data converted to and from it.
    virtual uint32_t openKeyA(RegKeyHandle parent, std::string_view subKey, uint32_t access, RegKeyHandle* out) = 0;
    virtual uint32_t createKeyA(RegKeyHandle parent, std::string_view subKey, uint32_t access, RegKeyHandle* out) = 0;
    virtual uint32_t queryValueA(RegKeyHandle key, std::string_view name, uint32_t* type, void* data,
                                 uint32_t* bytes) = 0;
    virtual uint32_t setValueA(RegKeyHandle key, std::string_view name, uint32_t type, const void* data,
                               uint32_t bytes) = 0;
    virtual uint32_t deleteValueA(RegKeyHandle key, std::string_view name) = 0;
    virtual uint32_t enumKeyA(RegKeyHandle key, uint32_t index, std::string* name) = 0;
    virtual uint32_t enumValueA(RegKeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                                std::vector<uint8_t>* data) = 0;
};

Registry& registry();

// Owns an open key and closes it when it goes out of scope.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(RegKeyHandle key) : key_(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) {
            reset();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    ~RegKey() { reset(); }

    RegKeyHandle get() const { return key_; }
    bool valid() const { return key_ != nullptr; }
    RegKeyHandle* receive() {
        reset();
        return &key_;
    }
    // Hands the key over to the caller, who closes it.
    RegKeyHandle release() { return std::exchange(key_, nullptr); }
    void reset() {
        if (key_) registry().closeKey(std::exchange(key_, nullptr));
    }

private:
    RegKeyHandle key_ = nullptr;
};

}  // namespace kv::platform
