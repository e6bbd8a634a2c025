// The machine's network segment: every adapter with link and the peer stations declared in
// machine.json hang on it. A frame put on the wire is captured (KELVA_PCAP), reaches every other
// adapter's receiver (behind its packet filter), and is seen by every peer: an awake peer answers
// peer test frames of kind 1 with kind 2; a sleeping peer wakes on a magic packet, an
// address-resolution frame for its IPv4 address, or a NetBIOS name query for its name.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kv/sim/ethernet.h"
#include "kv/sim/json.h"

namespace kv::sim {

class Adapter;
class Machine;

struct PeerStation {
    ethernet::Mac mac{};
    std::array<uint8_t, 4> ip{};
    std::string name;  // NetBIOS computer name
    bool asleep = false;
    bool answersTestFrames = true;
    uint64_t replyDelayMs = 1;
};

class Wire {
public:
    // The machine's "wire" object. Throws std::runtime_error for a malformed peer.
    void configure(const Json& wireJson);
    // `from` is the sending adapter, or null for a peer.
    void transmit(Machine& machine, const Adapter* from, std::span<const uint8_t> frame);
    std::vector<PeerStation>& peers() { return peers_; }

private:
    void peerSees(Machine& machine, PeerStation& peer, std::span<const uint8_t> frame);

    std::vector<PeerStation> peers_;
};

// Wake-up patterns a sleeping station's adapter matches.
bool isMagicPacketFor(std::span<const uint8_t> frame, const ethernet::Mac& mac);
bool isAddressResolutionFor(std::span<const uint8_t> frame, const std::array<uint8_t, 4>& ip);
// The computer name a NetBIOS name query asks for (first-level decoded, trailing blanks and the
// suffix dropped); empty when the frame is not one.
std::string netbiosQueryName(std::span<const uint8_t> frame);

}  // namespace kv::sim
