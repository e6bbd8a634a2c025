// The sockets of the system the simulated host runs on, answering as Windows Sockets do (handles,
// results and WSAE error numbers). The simulated host's sockets service maps the simulated
// network onto them.
#pragma once

#include "kv/platform/sockets.h"

namespace kv::platform::native {

Sockets& hostSockets();

}  // namespace kv::platform::native
