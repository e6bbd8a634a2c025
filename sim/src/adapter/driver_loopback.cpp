#include "kv/sim/adapter/driver_loopback.h"

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"
#include "kv/sim/host.h"

namespace kv::sim {

namespace err = kv::platform::err;

void DriverLoopback::frameSent() {
    if (returned_ < limit_) ++returned_;
}

void DriverLoopback::configure(const Json& adapterJson, Adapter&) {
    const Json& limit = adapterJson["faults"]["loopbackFrameLimit"];
    limit_ = limit.isNull() ? UINT32_MAX : static_cast<uint32_t>(limit.asUIntOrHex(UINT32_MAX));
}

std::optional<uint32_t> DriverLoopback::handle(OidCall& call, Adapter& adapter) {
    if (call.oid == protocol::OID_TVX_LOOPBACK_START) {
        active_ = true;
        returned_ = 0;
        Host::get().trace().add("loopback " + std::to_string(adapter.index) + " start");
        return err::kSuccess;
    }
    if (call.oid == protocol::OID_TVX_LOOPBACK_RESULT) {
        if (call.data.size() < 4) return err::kInsufficientBuffer;
        writeU32(call.data, 0, returned_);
        Host::get().trace().add("loopback " + std::to_string(adapter.index) + " end " + std::to_string(returned_));
        active_ = false;
        return err::kSuccess;
    }
    return std::nullopt;
}

std::unique_ptr<AdapterComponent> makeDriverLoopback() { return std::make_unique<DriverLoopback>(); }

}  // namespace kv::sim
