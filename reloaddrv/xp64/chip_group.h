// The chip-family groups the tool restarts: the option that chooses each one, and the hardware-id
// prefixes that make a device a member.
#pragma once

#include <string_view>

namespace kv::cyclenic {

inline constexpr int kNoGroup = 0;
inline constexpr int kGroup4440 = 1;  // 4440 and 4410
inline constexpr int kGroup4450 = 2;  // 4450 and 4430
inline constexpr int kGroup4420 = 4;

// The group an option chooses ("/4440", "/4450", "/4420"); kNoGroup for any other token.
int groupOfOption(std::string_view token);

// True when the lower-cased component id begins with one of the group's prefixes; the first 21
// characters are compared, so a subsystem part behind the device id does not matter.
bool belongsToGroup(std::string_view lowerComponentId, int group);

}  // namespace kv::cyclenic
