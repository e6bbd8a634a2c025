// The devices of the setup class "Net" that the device installer lists, in the system's order:
// instance id, node status, driver key, and the adapter each one drives. Property changes
// (disable, enable, restart) take the adapter away and bring it back on the simulated timeline.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kv/sim/json.h"

namespace kv::sim {

class Adapter;
class Machine;

struct Device {
    std::u16string instanceId;
    std::u16string driverKey;  // "0007": the subkey of the Net class key
    int adapterIndex = -1;     // the adapter it drives, -1 for none
    bool present = true;
    bool hidden = false;  // not shown in the device manager (node status flag 0x40000000)
    bool disabled = false;
    bool notStarted = false;   // installed, but its driver has not started (yet)
    bool statusFails = false;  // its node status cannot be read
    bool refusePropertyChange = false;
    uint32_t restartMs = 2000;  // how long the adapter is away after a restart or an enable
    // The hardware id written as "ComponentId" into a driver key that registry.reg lacks; empty:
    // made from the adapter's PCI ids.
    std::u16string componentId;
};

// "HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Class\{4D36E972-...}".
extern const char16_t kNetClassKeyPath[];
// "HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Network\{4D36E972-...}": one key per
// adapter GUID, its "Connection" subkey holding the connection name.
extern const char16_t kNetworkConnectionsKeyPath[];

// Reads machine.json's "devices" (and one device per adapter not named there) into the machine,
// and gives every device without one in registry.reg a driver key with the basic values (a
// device without an adapter gets one only when it names its "componentId").
void readDevices(const Json& config, Machine& machine);
void addMissingDriverKeys(Machine& machine);
// Gives every adapter without one in registry.reg a connection key: "Name" from the adapter's
// "connectionName" ("Local Area Connection", then "Local Area Connection 2", ... by default; false
// for no key) and "PnpInstanceID" of its device.
void addMissingConnectionKeys(Machine& machine);

uint32_t nodeStatusOf(const Device& device);

// Applies a property change (DICS_ENABLE, DICS_DISABLE, DICS_PROPCHANGE) to the device.
void changeDeviceState(Machine& machine, Device& device, uint32_t stateChange);

}  // namespace kv::sim
