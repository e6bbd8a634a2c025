// The chip-kind flags: the low byte of the adapter record's ChipClass. The main window chooses the
// page set and reads the driver version number by them (kv/jobs/chip_kind.h).
#pragma once

#include "kv/jobs/chip_kind.h"

namespace kv::diag {

namespace chipkind = jobs::chipkind;
using jobs::chipKindFlags;

}  // namespace kv::diag
