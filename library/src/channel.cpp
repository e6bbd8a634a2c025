// Opening and closing the protocol driver's device.
#include "channel.h"

#include "kelvalib.h"
#include "kv/platform/device_io.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "state.h"

namespace kv::lib {

bool sendControl(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength) {
    uint32_t returned = 0;
    return platform::deviceIo().control(state().channel, code, in, inLength, out, outLength, &returned);
}

protocol::ProtocolDriverNames protocolDriver() {
    platform::OsVersion version;
    auto& system = platform::system();
    if (!system.versionEx(&version) && !system.version(&version)) return protocol::protocolDriverFor(0, 0);
    return protocol::protocolDriverFor(version.platformId, version.majorVersion);
}

}  // namespace kv::lib

using namespace kv;

KV_API int API_Open(void) {
    auto& st = lib::state();
    st.channel = platform::invalidHandle();
    auto& io = platform::deviceIo();
    platform::NativeHandle handle = io.openDevice(lib::protocolDriver().devicePath);
    if (platform::isValid(handle)) {
        uint32_t returned = 0;
        if (!io.control(handle, protocol::IOCTL_PROT_BIND_WAIT, nullptr, 0, nullptr, 0, &returned)) {
            io.closeHandle(handle);
            handle = platform::invalidHandle();
        }
    }
    st.channel = handle;
    return platform::isValid(handle) ? 1 : 0;
}

KV_API int API_Close(void) {
    auto& st = lib::state();
    if (platform::isValid(st.channel)) platform::deviceIo().closeHandle(st.channel);
    // Forget the closed handle, so that API_IsPlug reports the channel closed and no request can
    // reach a handle value the system may since have given to another object.
    st.channel = platform::invalidHandle();
    return 1;
}

KV_API KV_HANDLE GetProtocolHandle(void) { return lib::state().channel; }

KV_API int API_IsPlug(void) { return platform::isValid(lib::state().channel) ? 1 : 0; }
