// Reading the driver's advanced-setting descriptions: registry values as text through buffers of
// 259 bytes, as the settings pages read them, and the keys under the adapter's driver key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "kv/platform/registry.h"

namespace kv::jobs {

// The buffer every advanced-setting read uses: a name or value that does not fit is missing.
inline constexpr uint32_t kRegistryTextBytes = 259;

// A key under the current adapter's driver key (API_GetRegHKey_A); the driver key itself for an
// empty path. Not valid when it does not open.
platform::RegKey openDriverKey(std::string_view subKey, bool writable);

// The value as text: string data up to its terminator, a DWORD as its decimal number, other data up
// to its first zero byte. None when the value is missing or longer than the buffer.
std::optional<std::string> readRegistryText(platform::RegKeyHandle key, std::string_view name);

// The name of subkey `index`; none past the last one or when the name does not fit the buffer
// (which ends an enumeration, as it does on the system).
std::optional<std::string> subKeyName(platform::RegKeyHandle key, uint32_t index);

// The name and text of value `index`; none past the last one or when either does not fit.
std::optional<std::pair<std::string, std::string>> valueAt(platform::RegKeyHandle key, uint32_t index);

}  // namespace kv::jobs
