// The one channel to the protocol driver, shared by every export.
#pragma once

#include <cstdint>

#include "kv/protocol.h"

namespace kv::lib {

// A control request on the shared handle, complete when the call returns (the backend waits for
// it, since the handle is open for overlapped I/O); in and out may be the same buffer. False on
// failure, with the system's last error left for the caller.
bool sendControl(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength);

// The protocol driver of the running system: the older driver on Windows 5.x, the NDIS 6 driver
// on every other version and when the version cannot be read.
protocol::ProtocolDriverNames protocolDriver();

}  // namespace kv::lib
