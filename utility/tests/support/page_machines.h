// Machines the page suites share: an adapter with its driver key and INF, and the cable pairs of
// machine.json.
#pragma once

#include <QStringList>
#include <initializer_list>
#include <string>

#include "kv/sim/testing/machine_builder.h"

namespace kv::diag::testing {

inline constexpr char kInfWithThreeBinaries[] =
    "[Version]\r\nSignature = \"$Windows NT$\"\r\n\r\n[SourceDisksFiles]\r\n"
    "tvx60x64.sys = 1,,\r\ntvxcoins.dll = 1,,\r\ntvxhelp.chm = 1,,\r\n";
inline constexpr char kInfWithoutBinaries[] =
    "[Version]\r\nSignature = \"$Windows NT$\"\r\nLayoutFile = layout.inf\r\n";

// A 4450 whose driver key names "oem3.inf", which holds `inf`.
inline kv::sim::testing::MachineBuilder driverMachine(const char* inf) {
    kv::sim::testing::MachineBuilder machine;
    machine.addAdapter(0x4450);
    machine
        .driverKey(0, {{"DriverDesc", "Tavrick 4450"},
                       {"DriverVersion", "6.210.1124.2009"},
                       {"DriverDate", "11-24-2009"},
                       {"ProviderName", "Tavrick"},
                       {"InfPath", "oem3.inf"}})
        .inf("oem3.inf", inf);
    return machine;
}

// The text rows of driverMachine's adapter: the provider before the version, although the record
// keeps the version first.
inline const QStringList kDriverTextRows = {"Description | Tavrick 4450", "Provider | Tavrick",
                                            "Version | 6.210.1124.2009", "Date | 11-24-2009", "INF Path | oem3.inf"};

// The default machine with its 4450's driver at `version`: its own (6.210) reads 210, too old for
// the VLAN page.
inline kv::sim::testing::MachineBuilder defaultMachineWithDriver(const std::string& version = "5.611.0.0") {
    kv::sim::testing::MachineBuilder machine = kv::sim::testing::MachineBuilder::defaultMachine();
    machine.registry(
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}"
        "\\0000]\r\n\"DriverVersion\"=\"" +
        version + "\"\r\n");
    return machine;
}

// A cable pair of machine.json: its state and the distance to the fault.
inline kv::sim::Json cablePair(const char* state, int distance) {
    kv::sim::Json p = kv::sim::Json::object();
    p.set("state", kv::sim::Json(state));
    p.set("distance", kv::sim::Json(distance));
    return p;
}

inline kv::sim::Json jsonList(std::initializer_list<kv::sim::Json> items) {
    kv::sim::Json a = kv::sim::Json::array();
    for (const kv::sim::Json& item : items) a.push_back(item);
    return a;
}

}  // namespace kv::diag::testing
