// VLAN virtual adapters on the simulated machine. A VLAN is a device of the class "Net" with the
// maker's VLAN hardware id (kv/protocol.h); its driver key holds the VLAN ID and the parent adapter's
// NetCfgInstanceId, and when its driver starts the machine gains a virtual adapter of its own:
// listed by the protocol driver, with a connection name and the usual protocol bindings, whose
// commands the parent adapter's miniport answers.
//
// machine.json: per adapter "vlans" ([{"id": 10, "connectionName": "...", "guid": "{...}",
// "ip": {...}}]), "vlanSupport" (false: the miniport refuses OID_GEN_VLAN_ID and no VLAN of it
// starts), "vlanId" (the physical adapter's own answer); at machine level "vlanInstall"
// ({"delayMs": 6000, "faults": {"fails": true, "neverCompletes": true}}).
#pragma once

#include <cstdint>
#include <string>

namespace kv::sim {

class Adapter;
class Machine;
struct Device;

// Writes the driver and connection keys of the VLANs machine.json declares that registry.reg
// lacks, then starts a virtual adapter for every VLAN driver key of the registry. Called once the
// physical adapters' keys exist.
void addVlans(Machine& machine);

// The device installer's side: a new device of the hardware id, registered but not installed
// (no driver yet); its driver key is created by the caller.
Device& registerDevice(Machine& machine, std::u16string_view hardwareId);
// Installs the driver of a registered VLAN device: gives its driver key its instance id and
// description, and starts the virtual adapter after the install time. False (with a Windows
// error number in *error) when the install fails.
bool installDevice(Machine& machine, Device& device, uint32_t* error);
// Uninstalls a device: it leaves the device list, its adapter goes away, its keys are deleted.
// Returns the registry save's error (the device then stays) or 0.
uint32_t removeDevice(Machine& machine, Device& device);

}  // namespace kv::sim
