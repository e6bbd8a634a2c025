// Stand-in for the address and link answers until the register-access work lands.
#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

class StubAccess : public AdapterComponent {
public:
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override {
        switch (call.oid) {
            case protocol::OID_802_3_CURRENT_ADDRESS:
                for (size_t i = 0; i < 6 && i < call.data.size(); ++i) call.data[i] = adapter.mac[i];
                return platform::err::kSuccess;
            case protocol::OID_GEN_MEDIA_CONNECT_STATUS:
                writeU32(call.data, 0, adapter.link.up ? 0 : 1);
                return platform::err::kSuccess;
            case protocol::OID_GEN_LINK_SPEED:
                writeU32(call.data, 0, adapter.link.speedMbps * 10000);
                return platform::err::kSuccess;
            case protocol::OID_TVX_PCI_CONFIG:
                writeU16(call.data, 0, adapter.pci.vendorId);
                writeU16(call.data, 2, adapter.pci.deviceId);
                return platform::err::kSuccess;
            default:
                return std::nullopt;
        }
    }
};

}  // namespace

std::unique_ptr<AdapterComponent> makeStubAccess() { return std::make_unique<StubAccess>(); }

}  // namespace kv::sim
