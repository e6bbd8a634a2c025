#include "registry_values.h"

#include <algorithm>
#include <vector>

#include "kv/platform/types.h"

namespace kv::capture {

std::optional<std::u16string> readString(platform::RegKeyHandle key, std::u16string_view name) {
    auto& registry = platform::registry();
    uint32_t type = 0;
    uint32_t bytes = 0;
    if (registry.queryValue(key, name, &type, nullptr, &bytes) != platform::err::kSuccess) return std::nullopt;
    if (type != platform::regtype::kSz && type != platform::regtype::kExpandSz) return std::nullopt;
    std::vector<char16_t> text(bytes / 2 + 1, u'\0');
    uint32_t capacity = static_cast<uint32_t>(text.size() * 2);
    if (registry.queryValue(key, name, &type, text.data(), &capacity) != platform::err::kSuccess) return std::nullopt;
    std::u16string value(text.data(), std::min<size_t>(capacity / 2, text.size()));
    while (!value.empty() && value.back() == u'\0') value.pop_back();
    return value;
}

platform::RegKey openMachineKey(std::u16string_view path) {
    platform::RegKeyHandle key = nullptr;
    if (platform::registry().openKey(platform::hiveKey(platform::Hive::LocalMachine), path, platform::regaccess::kRead,
                                     &key) != platform::err::kSuccess)
        return {};
    return platform::RegKey(key);
}

std::u16string guidPart(std::u16string_view instanceId) {
    const size_t close = instanceId.find(u'}');
    return std::u16string(close == std::u16string_view::npos ? instanceId : instanceId.substr(0, close + 1));
}

}  // namespace kv::capture
