// The adapter's receive packet filter (OID_GEN_CURRENT_PACKET_FILTER): which arriving frames the
// adapter passes up to the diagnostic protocol.
#pragma once

#include <cstdint>
#include <span>

#include "kv/sim/adapter/adapter.h"
#include "kv/sim/ethernet.h"

namespace kv::sim {

class PacketFilter : public AdapterComponent {
public:
    static constexpr uint32_t kDirected = 0x01;
    static constexpr uint32_t kMulticast = 0x02;
    static constexpr uint32_t kAllMulticast = 0x04;
    static constexpr uint32_t kBroadcast = 0x08;
    static constexpr uint32_t kPromiscuous = 0x20;
    // The bits an Ethernet miniport supports; a set with any other bit is refused.
    static constexpr uint32_t kSupported = kDirected | kMulticast | kAllMulticast | kBroadcast | kPromiscuous;
    // What the protocol driver asks for when it binds: directed and broadcast.
    static constexpr uint32_t kDefault = kDirected | kBroadcast;

    uint32_t bits() const { return bits_; }
    // Whether a frame arriving at an adapter whose address is `own` passes the filter. The
    // adapter keeps no multicast list, so the multicast bit passes every group address.
    bool accepts(const ethernet::Mac& own, std::span<const uint8_t> frame) const;

    void configure(const Json& adapterJson, Adapter& adapter) override;
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override;

private:
    uint32_t bits_ = kDefault;
};

}  // namespace kv::sim
