#include "kv/jobs/registry_text.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "kelvalib.h"

namespace kv::jobs {

namespace {

// Text of registry data: strings and other bytes up to the first zero byte, DWORDs as numbers.
std::string dataText(uint32_t type, const uint8_t* data, size_t size) {
    if (type == platform::regtype::kDword && size == 4) {
        const uint32_t number =
            uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24;
        return std::to_string(number);
    }
    size_t length = 0;
    while (length < size && data[length] != 0) ++length;
    return std::string(reinterpret_cast<const char*>(data), length);
}

}  // namespace

platform::RegKey openDriverKey(std::string_view subKey, bool writable) {
    const std::string path(subKey);
    KV_HKEY key = nullptr;
    if (API_GetRegHKey_A(&key, path.empty() ? nullptr : path.c_str(), writable ? 1 : 0) != 1) return {};
    return platform::RegKey(static_cast<platform::RegKeyHandle>(key));
}

std::optional<std::string> readRegistryText(platform::RegKeyHandle key, std::string_view name) {
    std::array<uint8_t, kRegistryTextBytes> buffer{};
    uint32_t type = 0;
    uint32_t bytes = static_cast<uint32_t>(buffer.size());
    if (platform::registry().queryValueA(key, name, &type, buffer.data(), &bytes) != platform::err::kSuccess)
        return std::nullopt;
    return dataText(type, buffer.data(), std::min<size_t>(bytes, buffer.size()));
}

std::optional<std::string> subKeyName(platform::RegKeyHandle key, uint32_t index) {
    std::string name;
    if (platform::registry().enumKeyA(key, index, &name) != platform::err::kSuccess) return std::nullopt;
    if (name.size() >= kRegistryTextBytes) return std::nullopt;  // no room for the terminator
    return name;
}

std::optional<std::pair<std::string, std::string>> valueAt(platform::RegKeyHandle key, uint32_t index) {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (platform::registry().enumValueA(key, index, &name, &type, &data) != platform::err::kSuccess)
        return std::nullopt;
    if (name.size() >= kRegistryTextBytes || data.size() > kRegistryTextBytes) return std::nullopt;
    return std::pair{std::move(name), dataText(type, data.data(), data.size())};
}

}  // namespace kv::jobs
