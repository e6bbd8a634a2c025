// The host's sockets on Windows: Winsock itself.
#include "sockets.h"

#include "../../shared/winsock_sockets.h"

namespace kv::platform::native {

Sockets& hostSockets() {
    static WinsockSockets instance;
    return instance;
}

}  // namespace kv::platform::native
