// The link as the miniport reports it: the media-connect state, the link speed in units of
// 100 bit/s, and the NDIS link-state record. OID_GEN_LINK_SPEED reports the configured speed
// also while the link is down; the link-state record then reads disconnected, duplex and speeds
// unknown.
#include "kv/bytes.h"
#include "kv/ndis.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

namespace err = platform::err;
namespace ls = ndis::link_state;

class Link : public AdapterComponent {
public:
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override {
        const LinkState& link = adapter.link;
        switch (call.oid) {
            case protocol::OID_GEN_MEDIA_CONNECT_STATUS:
                if (call.data.size() < 4) return err::kInsufficientBuffer;
                writeU32(call.data, 0, link.up ? ndis::kMediaStateConnected : ndis::kMediaStateDisconnected);
                return err::kSuccess;
            case protocol::OID_GEN_LINK_SPEED:
                if (call.data.size() < 4) return err::kInsufficientBuffer;
                writeU32(call.data, 0, link.speedMbps * 10000u);
                return err::kSuccess;
            case protocol::OID_GEN_LINK_STATE:
                return linkState(call.data, link);
            default:
                return std::nullopt;
        }
    }

private:
    static uint32_t linkState(std::span<uint8_t> d, const LinkState& link) {
        if (d.size() < ls::kBytes) return err::kInsufficientBuffer;
        std::fill_n(d.begin(), ls::kBytes, uint8_t{0});
        d[0] = ndis::kObjectTypeDefault;
        d[1] = ls::kRevision;
        writeU16(d, 2, static_cast<uint16_t>(ls::kBytes));
        const uint64_t bitsPerSecond = uint64_t{link.speedMbps} * 1000000u;
        writeU32(d, ls::kMediaConnectState, link.up ? ls::kConnected : ls::kDisconnected);
        writeU32(d, ls::kMediaDuplexState, link.up ? static_cast<uint32_t>(link.duplex) : 0u);
        writeU64(d, ls::kXmitLinkSpeed, link.up ? bitsPerSecond : ls::kSpeedUnknown);
        writeU64(d, ls::kRcvLinkSpeed, link.up ? bitsPerSecond : ls::kSpeedUnknown);
        writeU32(d, ls::kPauseFunctions, link.up ? ls::kPauseSendAndReceive : 0u);
        writeU32(d, ls::kAutoNegotiationFlags,
                 link.up ? ls::kXmitSpeedAutoNegotiated | ls::kRcvSpeedAutoNegotiated | ls::kDuplexAutoNegotiated : 0u);
        return err::kSuccess;
    }
};

}  // namespace

std::unique_ptr<AdapterComponent> makeLink() { return std::make_unique<Link>(); }

}  // namespace kv::sim
