// Stand-in until the register-access work lands.
#pragma once

#include <cstdint>

// The PCI device ID (offset 2 of the configuration space); 0 and a 0 result when unreadable.
int GetPciDeviceId(uint16_t* deviceId);
