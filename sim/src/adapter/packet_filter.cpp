#include "kv/sim/adapter/packet_filter.h"

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace err = kv::platform::err;

bool PacketFilter::accepts(const ethernet::Mac& own, std::span<const uint8_t> frame) const {
    if (frame.size() < ethernet::kHeaderBytes) return false;
    if (bits_ & kPromiscuous) return true;
    const auto destination = ethernet::destination(frame);
    if (destination == ethernet::kBroadcast) return (bits_ & kBroadcast) != 0;
    if (ethernet::isGroupAddress(destination)) return (bits_ & (kMulticast | kAllMulticast)) != 0;
    return (bits_ & kDirected) != 0 && destination == own;
}

void PacketFilter::configure(const Json& adapterJson, Adapter&) {
    bits_ = static_cast<uint32_t>(adapterJson["frames"]["filter"].asUIntOrHex(kDefault));
}

std::optional<uint32_t> PacketFilter::handle(OidCall& call, Adapter&) {
    if (call.oid != protocol::OID_GEN_CURRENT_PACKET_FILTER) return std::nullopt;
    if (call.data.size() < 4) return err::kInsufficientBuffer;
    if (!call.isSet) {
        writeU32(call.data, 0, bits_);
        return err::kSuccess;
    }
    const uint32_t bits = readU32(call.data, 0);
    if (bits & ~kSupported) return err::kNotSupported;
    bits_ = bits;
    return err::kSuccess;
}

std::unique_ptr<AdapterComponent> makePacketFilter() { return std::make_unique<PacketFilter>(); }

}  // namespace kv::sim
