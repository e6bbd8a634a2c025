// Register and PCI access shared inside the library.
#pragma once

#include <cstdint>

namespace kv::lib {

// Reads the current adapter's PCI configuration space into a zero-filled area and stores its
// device id (offset 2; 0 when the read failed). Returns 1 when the read succeeded, else 0.
int GetPciDeviceId(uint16_t* deviceId);

// The chip class of a PCI device id: 2 for the 4420 (and for id 0 with an I/O base), 4 for the
// 4410 and 4440, 8 for the 4430 and 4450, 0 for anything else.
uint32_t chipClassOf(uint16_t deviceId, uint32_t ioAddress);

}  // namespace kv::lib
