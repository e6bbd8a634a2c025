// Stand-in answers for the link state, link speed and PCI configuration space, until the
// adapter's own link and PCI blocks answer them.
#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

class LinkStub : public AdapterComponent {
public:
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override {
        switch (call.oid) {
            case protocol::OID_GEN_MEDIA_CONNECT_STATUS:
                writeU32(call.data, 0, adapter.link.up ? 0 : 1);
                return platform::err::kSuccess;
            case protocol::OID_GEN_LINK_SPEED:
                writeU32(call.data, 0, adapter.link.speedMbps * 10000);
                return platform::err::kSuccess;
            case protocol::OID_TVX_PCI_CONFIG:
                writeU16(call.data, 0, adapter.pci.vendorId);
                writeU16(call.data, 2, adapter.pci.deviceId);
                if (call.data.size() > 8) call.data[8] = adapter.pci.revisionId;
                return platform::err::kSuccess;
            default:
                return std::nullopt;
        }
    }
};

}  // namespace

std::unique_ptr<AdapterComponent> makeLinkStub() { return std::make_unique<LinkStub>(); }

}  // namespace kv::sim
