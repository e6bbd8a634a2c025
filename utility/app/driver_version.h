// The driver version number, read by the main window at each adapter selection; the rule lives
// with the jobs the command line shares (kv/jobs/driver_version.h).
#pragma once

#include "kv/jobs/driver_version.h"

namespace kv::diag {

using jobs::driverVersionNumber;
using jobs::fieldText;
using jobs::kEmptyVersionNumber;
using jobs::kUnknownDriverVersion;

}  // namespace kv::diag
