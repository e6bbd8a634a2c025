// The one channel to the protocol driver, shared by every export.
#pragma once

#include <cstdint>

namespace kv::lib {

// A control request on the shared handle, complete when the call returns (the backend waits for
// it, since the handle is open for overlapped I/O); in and out may be the same buffer. False on
// failure, with the system's last error left for the caller.
bool sendControl(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength);

}  // namespace kv::lib
