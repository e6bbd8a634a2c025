// Checking that the protocol driver is installed and running, and that the adapters' own drivers
// understand the maker's private commands.
#include <algorithm>
#include <string>

#include "binding_reply.h"
#include "channel.h"
#include "kelvalib.h"
#include "kv/platform/services.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "notify.h"
#include "oid_request.h"
#include "state.h"

using namespace kv;

namespace {

namespace svc = platform::svcaccess;

constexpr uint32_t kSupportedListResultBytes = 1024;
// The supported-list check looks at this many ids from the start of the list.
constexpr uint32_t kScannedIds = 128;
// OID_TVX_PCI_CONFIG to OID_TVX_LOOPBACK_RESULT: the private commands every diagnosable miniport has.
constexpr int kRequiredPrivateIds = 5;

// A service manager handle, closed when it goes out of scope.
class ServiceHandle {
public:
    explicit ServiceHandle(platform::NativeHandle handle) : handle_(handle) {}
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    ~ServiceHandle() {
        if (handle_) platform::serviceManager().closeHandle(handle_);
    }
    platform::NativeHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    platform::NativeHandle handle_;
};

// Opens the protocol driver's service and starts it (one that runs already is fine), then gives
// it 100 ms. False when the service cannot be opened.
bool startProtocolService() {
    auto& scm = platform::serviceManager();
    const ServiceHandle manager(scm.openManager(svc::kManagerAllAccess));
    const ServiceHandle service(
        scm.openService(manager.get(), lib::protocolDriver().serviceName, svc::kQueryStatus | svc::kStart));
    if (!service) return false;
    scm.startService(service.get());
    platform::clock().sleep(100);
    return true;
}

// Opens the channel for a check. The device admits one handle at a time, so a channel the caller
// left open is closed first rather than forgotten, which would both leak it and fail the open.
bool openChannelForCheck() {
    API_Close();
    return API_Open() == 1;
}

// Whether the selected adapter's driver lists the five basic private commands among the first
// 128 ids of its supported list.
bool supportsPrivateCommands() {
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_GEN_SUPPORTED_LIST, kSupportedListResultBytes);
    if (!request.query()) return false;
    const uint32_t ids = std::min<uint32_t>(kScannedIds, static_cast<uint32_t>(request.data().size() / 4));
    int found = 0;
    for (uint32_t i = 0; i < ids; ++i) {
        const uint32_t id = request.u32(i * 4);
        if (id >= protocol::OID_TVX_PCI_CONFIG && id <= protocol::OID_TVX_LOOPBACK_RESULT &&
            ++found == kRequiredPrivateIds)
            return true;
    }
    return false;
}

}  // namespace

KV_API int API_CheckProtDrvInst(void) {
    if (!startProtocolService()) return 0;
    if (!openChannelForCheck()) return 0;
    API_Close();
    return 1;
}

KV_API int API_CheckMiniportDrvInst(void) {
    if (!startProtocolService()) return 0;
    if (!openChannelForCheck()) return 0;
    auto& st = lib::state();
    lib::walkBindings([&](uint32_t index, const lib::Binding&) {
        const bool selected = API_SetCurrAdaptIdx(static_cast<int>(index)) == 1;
        if (!selected) lib::showMessage("Fail set");
        const bool supported = supportsPrivateCommands();
        if (selected && supported) ++st.qualifiedAdapters;
    });
    API_Close();
    return st.qualifiedAdapters != 0 ? 1 : 0;
}
