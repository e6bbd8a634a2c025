// The host's sockets on Windows: Winsock itself.
#include "../../shared/winsock_sockets.h"
#include "sockets.h"

namespace kv::platform::native {

Sockets& hostSockets() {
    static WinsockSockets instance;
    return instance;
}

}  // namespace kv::platform::native
