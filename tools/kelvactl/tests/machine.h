// The machine kelvactl's tests run on: the embedded default machine (a 4450 with two VLANs on a
// driver that carries them, a 4420, a 4440 without link whose cable has an open pair at 12 m,
// another maker's adapter).
#pragma once

#include "kv/sim/testing/machine_builder.h"

namespace kv::kelvactl {

inline sim::testing::MachineBuilder kelvactlMachine() { return sim::testing::MachineBuilder::defaultMachine(); }

}  // namespace kv::kelvactl
