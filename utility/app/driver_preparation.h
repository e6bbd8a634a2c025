// On Windows 5.x the utility works through the older protocol driver: before the window exists it
// puts the driver's file in place (Plantdrv64, on 5.2 and later 5.x) and starts its service, ten
// times, giving each failed check ten seconds.
#pragma once

#include <cstdint>

namespace kv::diag {

inline constexpr int kDriverStartAttempts = 10;
inline constexpr uint32_t kDriverStartWaitMs = 10000;

// Does nothing on systems other than 5.x. All ten attempts always run; only the wait after each
// depends on the check, so this takes between a moment and 100 seconds.
void prepareOlderProtocolDriver();

}  // namespace kv::diag
