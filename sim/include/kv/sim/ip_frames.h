// The frames a Windows host puts on the wire to find a station: an ARP request (and the station's
// reply) and a NetBIOS name query broadcast (UDP port 137), padded to Ethernet's 60 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "kv/sim/ethernet.h"

namespace kv::sim {

using Ipv4Address = std::array<uint8_t, 4>;

// Broadcast "who has target? tell sender".
std::vector<uint8_t> arpRequest(const ethernet::Mac& senderMac, const Ipv4Address& senderIp, const Ipv4Address& target);
// "sender is at senderMac", to the asking station.
std::vector<uint8_t> arpReply(const ethernet::Mac& senderMac, const Ipv4Address& senderIp, const ethernet::Mac& toMac,
                              const Ipv4Address& toIp);
// A broadcast name query for the workstation name (upper-cased, blank-padded to 15 characters,
// suffix 0x00) from sender to the subnet's broadcast address.
std::vector<uint8_t> netbiosNameQuery(const ethernet::Mac& senderMac, const Ipv4Address& senderIp,
                                      const Ipv4Address& broadcast, std::string_view name, uint16_t transactionId);

}  // namespace kv::sim
