// The miniport's general NDIS answers: the hardware status and the vendor description (8-bit
// text with its terminator, from the adapter's "ndis" object; default the adapter's description).
#include <stdexcept>
#include <string>

#include "kv/bytes.h"
#include "kv/ndis.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"
#include "kv/text.h"

namespace kv::sim {

namespace {

namespace err = platform::err;

uint32_t parseHardwareStatus(const Json& j) {
    if (j.isNull()) return ndis::kHardwareStatusReady;
    if (j.isNumber()) return static_cast<uint32_t>(j.asUInt());
    const std::string s = j.asString();
    if (s == "ready") return ndis::kHardwareStatusReady;
    if (s == "initializing") return ndis::kHardwareStatusInitializing;
    if (s == "reset") return ndis::kHardwareStatusReset;
    if (s == "closing") return ndis::kHardwareStatusClosing;
    if (s == "notReady") return ndis::kHardwareStatusNotReady;
    throw std::runtime_error(
        "ndis.hardwareStatus must be \"ready\", \"initializing\", \"reset\", \"closing\", \"notReady\" or a number");
}

class NdisInfo : public AdapterComponent {
public:
    void configure(const Json& adapterJson, Adapter& adapter) override {
        const Json& j = adapterJson["ndis"];
        hardwareStatus_ = parseHardwareStatus(j["hardwareStatus"]);
        vendorDescription_ =
            j.contains("vendorDescription") ? j["vendorDescription"].asString() : utf16ToAnsi(adapter.description);
    }

    std::optional<uint32_t> handle(OidCall& call, Adapter&) override {
        switch (call.oid) {
            case protocol::OID_GEN_HARDWARE_STATUS:
                if (call.data.size() < 4) return err::kInsufficientBuffer;
                writeU32(call.data, 0, hardwareStatus_);
                return err::kSuccess;
            case protocol::OID_GEN_VENDOR_DESCRIPTION:
                // The text and its terminator, or the buffer is too short for it.
                if (call.data.size() < vendorDescription_.size() + 1) return err::kInsufficientBuffer;
                std::copy(vendorDescription_.begin(), vendorDescription_.end(), call.data.begin());
                call.data[vendorDescription_.size()] = 0;
                return err::kSuccess;
            default:
                return std::nullopt;
        }
    }

private:
    uint32_t hardwareStatus_ = ndis::kHardwareStatusReady;
    std::string vendorDescription_;
};

}  // namespace

std::unique_ptr<AdapterComponent> makeNdisInfo() { return std::make_unique<NdisInfo>(); }

}  // namespace kv::sim
