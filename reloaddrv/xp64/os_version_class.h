// The system version classes: which Windows the tool runs on. Class 0 is a system the tool does
// not accept (Win32s, NT 7.0 and later, or a version that could not be read).
#pragma once

#include "kv/platform/system.h"

namespace kv::cyclenic {

inline constexpr int kVersionNotAccepted = 0;

int osVersionClass(const platform::OsVersion& version);

// The version from the extended record, else from the basic one; an all-zero record when both
// queries fail.
platform::OsVersion readSystemVersion();

}  // namespace kv::cyclenic
