// The machine kelvactl's tests run on: the embedded default machine (a 4450 with two VLANs, a
// 4420, a 4440 without link whose cable has an open pair at 12 m, another maker's adapter), the
// 4450's driver raised to a version that carries VLANs.
#pragma once

#include "kv/sim/testing/machine_builder.h"

namespace kv::kelvactl {

inline sim::testing::MachineBuilder kelvactlMachine() {
    return sim::testing::MachineBuilder::defaultMachine().registry(
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0000]"
        "\r\n"
        "\"DriverVersion\"=\"5.611.0.0\"\r\n");
}

}  // namespace kv::kelvactl
