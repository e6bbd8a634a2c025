// The miniport's VLAN ID (OID_GEN_VLAN_ID, a u32): a physical adapter answers 0 unless its
// machine.json object gives "vlanId"; a VLAN virtual adapter answers the ID of its driver key. A
// miniport without VLAN support ("vlanSupport": false) refuses the command, also for the VLANs
// that name it as their parent. A set takes IDs 0 to 4094 (the library keeps a VLAN's new ID in
// its driver key too, where the miniport reads it when it starts).
#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

namespace err = platform::err;

class VlanTag : public AdapterComponent {
public:
    void configure(const Json& adapterJson, Adapter& adapter) override {
        adapter.vlanSupport = adapterJson["vlanSupport"].asBool(true);
        adapter.vlanId = static_cast<uint32_t>(adapterJson["vlanId"].asUInt(0));
    }

    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override {
        if (call.oid != protocol::OID_GEN_VLAN_ID) return std::nullopt;
        const Adapter& miniport = adapter.vlanParent ? *adapter.vlanParent : adapter;
        if (!miniport.vlanSupport) return err::kNotSupported;
        if (call.data.size() < 4) return err::kInsufficientBuffer;
        if (!call.isSet) {
            writeU32(call.data, 0, adapter.vlanId);
            return err::kSuccess;
        }
        const uint32_t id = readU32(call.data, 0);
        if (id > protocol::kHighestVlanId) return err::kInvalidParameter;
        adapter.vlanId = id;
        return err::kSuccess;
    }
};

}  // namespace

std::unique_ptr<AdapterComponent> makeVlanTag() { return std::make_unique<VlanTag>(); }

}  // namespace kv::sim
