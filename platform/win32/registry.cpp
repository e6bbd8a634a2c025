// The registry on the Windows API. The W and A forms share one implementation over the
// character type; the system converts string data of the A forms to and from the ANSI code page.
#include "kv/platform/registry.h"

#include <algorithm>
#include <vector>

#include "win32_util.h"

namespace kv::platform {

namespace {

using win32::hkey;

// The registry functions of one character type.
template <typename Char>
struct RegApi;

template <>
struct RegApi<wchar_t> {
    static constexpr auto openKeyEx = &RegOpenKeyExW;
    static constexpr auto createKeyEx = &RegCreateKeyExW;
    static constexpr auto queryValueEx = &RegQueryValueExW;
    static constexpr auto setValueEx = &RegSetValueExW;
    static constexpr auto enumKeyEx = &RegEnumKeyExW;
    static constexpr auto enumValue = &RegEnumValueW;
    static constexpr auto queryInfoKey = &RegQueryInfoKeyW;
};

template <>
struct RegApi<char> {
    static constexpr auto openKeyEx = &RegOpenKeyExA;
    static constexpr auto createKeyEx = &RegCreateKeyExA;
    static constexpr auto queryValueEx = &RegQueryValueExA;
    static constexpr auto setValueEx = &RegSetValueExA;
    static constexpr auto enumKeyEx = &RegEnumKeyExA;
    static constexpr auto enumValue = &RegEnumValueA;
    static constexpr auto queryInfoKey = &RegQueryInfoKeyA;
};

// Names as the interface hands them over, NUL-terminated for the system.
inline std::wstring terminated(std::u16string_view name) { return win32::wide(name); }
inline std::string terminated(std::string_view name) { return std::string(name); }

template <typename Char>
uint32_t openKeyT(RegKeyHandle parent, const Char* subKey, uint32_t access, RegKeyHandle* out) {
    HKEY key = nullptr;
    const LSTATUS r = RegApi<Char>::openKeyEx(hkey(parent), subKey, 0, access, &key);
    if (r == ERROR_SUCCESS) *out = key;
    return static_cast<uint32_t>(r);
}

template <typename Char>
uint32_t createKeyT(RegKeyHandle parent, const Char* subKey, uint32_t access, RegKeyHandle* out) {
    HKEY key = nullptr;
    const LSTATUS r = RegApi<Char>::createKeyEx(hkey(parent), subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                                nullptr, &key, nullptr);
    if (r == ERROR_SUCCESS) *out = key;
    return static_cast<uint32_t>(r);
}

template <typename Char>
uint32_t queryValueT(RegKeyHandle key, const Char* name, uint32_t* type, void* data, uint32_t* bytes) {
    DWORD t = 0;
    DWORD size = bytes ? *bytes : 0;
    const LSTATUS r =
        RegApi<Char>::queryValueEx(hkey(key), name, nullptr, &t, static_cast<BYTE*>(data), bytes ? &size : nullptr);
    if (type && (r == ERROR_SUCCESS || r == ERROR_MORE_DATA)) *type = t;
    if (bytes && (r == ERROR_SUCCESS || r == ERROR_MORE_DATA)) *bytes = size;
    return static_cast<uint32_t>(r);
}

template <typename Char>
uint32_t setValueT(RegKeyHandle key, const Char* name, uint32_t type, const void* data, uint32_t bytes) {
    return static_cast<uint32_t>(
        RegApi<Char>::setValueEx(hkey(key), name, 0, type, static_cast<const BYTE*>(data), data ? bytes : 0));
}

template <typename Char>
uint32_t enumKeyT(RegKeyHandle key, uint32_t index, std::basic_string<Char>* name) {
    // A key name has at most 255 characters.
    Char buffer[256];
    DWORD length = 256;
    const LSTATUS r = RegApi<Char>::enumKeyEx(hkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_SUCCESS) name->assign(buffer, length);
    return static_cast<uint32_t>(r);
}

template <typename Char>
uint32_t enumValueT(RegKeyHandle key, uint32_t index, std::basic_string<Char>* name, uint32_t* type,
                    std::vector<uint8_t>* data) {
    // The longest name and data of the key size the buffers; a value that grows meanwhile is
    // asked for again.
    DWORD maxName = 0;
    DWORD maxData = 0;
    LSTATUS r = RegApi<Char>::queryInfoKey(hkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           &maxName, &maxData, nullptr, nullptr);
    if (r != ERROR_SUCCESS) return static_cast<uint32_t>(r);
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<Char> nameBuffer(maxName + 1);
        std::vector<uint8_t> dataBuffer(maxData + 1);
        DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
        DWORD dataLength = static_cast<DWORD>(dataBuffer.size());
        DWORD t = 0;
        r = RegApi<Char>::enumValue(hkey(key), index, nameBuffer.data(), &nameLength, nullptr, &t, dataBuffer.data(),
                                    &dataLength);
        if (r == ERROR_MORE_DATA) {
            maxName = maxName * 2 + 256;
            maxData = std::max<DWORD>(dataLength, maxData * 2 + 256);
            continue;
        }
        if (r != ERROR_SUCCESS) break;
        if (name) name->assign(nameBuffer.data(), nameLength);
        if (type) *type = t;
        if (data) data->assign(dataBuffer.begin(), dataBuffer.begin() + dataLength);
        break;
    }
    return static_cast<uint32_t>(r);
}

class Win32Registry : public Registry {
public:
    uint32_t openKey(RegKeyHandle parent, std::u16string_view subKey, uint32_t access, RegKeyHandle* out) override {
        return openKeyT(parent, terminated(subKey).c_str(), access, out);
    }
    uint32_t createKey(RegKeyHandle parent, std::u16string_view subKey, uint32_t access, RegKeyHandle* out) override {
        return createKeyT(parent, terminated(subKey).c_str(), access, out);
    }
    uint32_t closeKey(RegKeyHandle key) override { return static_cast<uint32_t>(RegCloseKey(hkey(key))); }
    uint32_t queryValue(RegKeyHandle key, std::u16string_view name, uint32_t* type, void* data,
                        uint32_t* bytes) override {
        return queryValueT(key, terminated(name).c_str(), type, data, bytes);
    }
    uint32_t setValue(RegKeyHandle key, std::u16string_view name, uint32_t type, const void* data,
                      uint32_t bytes) override {
        return setValueT(key, terminated(name).c_str(), type, data, bytes);
    }
    uint32_t deleteValue(RegKeyHandle key, std::u16string_view name) override {
        return static_cast<uint32_t>(RegDeleteValueW(hkey(key), terminated(name).c_str()));
    }
    uint32_t deleteKey(RegKeyHandle parent, std::u16string_view subKey) override {
        return static_cast<uint32_t>(RegDeleteKeyW(hkey(parent), terminated(subKey).c_str()));
    }
    uint32_t enumKey(RegKeyHandle key, uint32_t index, std::u16string* name) override {
        std::wstring n;
        const uint32_t r = enumKeyT(key, index, &n);
        if (r == ERROR_SUCCESS) *name = win32::fromWide(n);
        return r;
    }
    uint32_t enumValue(RegKeyHandle key, uint32_t index, std::u16string* name, uint32_t* type,
                       std::vector<uint8_t>* data) override {
        std::wstring n;
        const uint32_t r = enumValueT(key, index, &n, type, data);
        if (r == ERROR_SUCCESS && name) *name = win32::fromWide(n);
        return r;
    }

    uint32_t openKeyA(RegKeyHandle parent, std::string_view subKey, uint32_t access, RegKeyHandle* out) override {
        return openKeyT(parent, terminated(subKey).c_str(), access, out);
    }
    uint32_t createKeyA(RegKeyHandle parent, std::string_view subKey, uint32_t access, RegKeyHandle* out) override {
        return createKeyT(parent, terminated(subKey).c_str(), access, out);
    }
    uint32_t queryValueA(RegKeyHandle key, std::string_view name, uint32_t* type, void* data,
                         uint32_t* bytes) override {
        return queryValueT(key, terminated(name).c_str(), type, data, bytes);
    }
    uint32_t setValueA(RegKeyHandle key, std::string_view name, uint32_t type, const void* data,
                       uint32_t bytes) override {
        return setValueT(key, terminated(name).c_str(), type, data, bytes);
    }
    uint32_t deleteValueA(RegKeyHandle key, std::string_view name) override {
        return static_cast<uint32_t>(RegDeleteValueA(hkey(key), terminated(name).c_str()));
    }
    uint32_t enumKeyA(RegKeyHandle key, uint32_t index, std::string* name) override {
        return enumKeyT(key, index, name);
    }
    uint32_t enumValueA(RegKeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                        std::vector<uint8_t>* data) override {
        return enumValueT(key, index, name, type, data);
    }
};

}  // namespace

Registry& registry() {
    static Win32Registry instance;
    return instance;
}

}  // namespace kv::platform
