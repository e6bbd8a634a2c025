// Windows Sockets: Winsock.
#include "../shared/winsock_sockets.h"

namespace kv::platform {

Sockets& sockets() {
    static WinsockSockets instance;
    return instance;
}

}  // namespace kv::platform
