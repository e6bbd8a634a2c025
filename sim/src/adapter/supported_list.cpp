// The miniport's list of the command ids it supports (OID_GEN_SUPPORTED_LIST): the standard ids
// and, unless the driver lacks them, the maker's private ones; or exactly the list machine.json
// gives as "supportedOids".
#include <vector>

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

namespace p = kv::protocol;

constexpr uint32_t kStandardIds[] = {
    p::OID_GEN_SUPPORTED_LIST,
    p::OID_GEN_HARDWARE_STATUS,
    p::OID_GEN_LINK_SPEED,
    p::OID_GEN_VENDOR_DESCRIPTION,
    p::OID_GEN_CURRENT_PACKET_FILTER,
    p::OID_GEN_MEDIA_CONNECT_STATUS,
    p::OID_GEN_LINK_STATE,
    p::OID_GEN_STATISTICS,
    p::OID_802_3_CURRENT_ADDRESS,
    p::OID_802_3_XMIT_ONE_COLLISION,
};

constexpr uint32_t kPrivateIds[] = {
    p::OID_TVX_PCI_CONFIG,
    p::OID_TVX_MAC_REG_TEST,
    p::OID_TVX_EEPROM_TEST,
    p::OID_TVX_LOOPBACK_START,
    p::OID_TVX_LOOPBACK_RESULT,
    p::OID_TVX_ENABLE_DIAG,
    p::OID_TVX_ADAPTER_INFO,
    p::OID_TVX_WRITE_PHY,
    p::OID_TVX_WRITE_MAC_REG,
    p::OID_TVX_NWAY_RESTART,
    p::OID_TVX_READ_PHY,
    p::OID_TVX_READ_MAC_REG,
    p::OID_TVX_PHY_DIAG_START,
    p::OID_TVX_PHY_DIAG_END,
    p::OID_TVX_WRITE_PHY_WORD,
    p::OID_TVX_READ_PHY_WORD,
    p::OID_TVX_CLEAR_ISR_COUNTER,
    p::OID_TVX_GET_ISR_COUNTER,
    p::OID_TVX_WAKEUP_PATTERN_LEN,
    p::OID_TVX_WAKEUP_PATTERN_WRITE,
    p::OID_TVX_WAKEUP_PATTERN_READ,
};

class SupportedList : public AdapterComponent {
public:
    void configure(const Json& adapterJson, Adapter& adapter) override {
        ids_.clear();
        if (adapterJson.contains("supportedOids")) {
            for (const Json& id : adapterJson["supportedOids"].elements())
                ids_.push_back(static_cast<uint32_t>(id.asUIntOrHex(0)));
            return;
        }
        ids_.assign(std::begin(kStandardIds), std::end(kStandardIds));
        if (adapter.faults.privateCommands) ids_.insert(ids_.end(), std::begin(kPrivateIds), std::end(kPrivateIds));
    }

    std::optional<uint32_t> handle(OidCall& call, Adapter&) override {
        if (call.oid != p::OID_GEN_SUPPORTED_LIST) return std::nullopt;
        if (call.isSet) return platform::err::kNotSupported;
        // The ids fill the data area from its start; a list that does not fit is refused whole.
        if (ids_.size() * 4 > call.data.size()) return platform::err::kInsufficientBuffer;
        for (size_t i = 0; i < ids_.size(); ++i) writeU32(call.data, i * 4, ids_[i]);
        return platform::err::kSuccess;
    }

private:
    std::vector<uint32_t> ids_;
};

}  // namespace

std::unique_ptr<AdapterComponent> makeSupportedList() { return std::make_unique<SupportedList>(); }

}  // namespace kv::sim
