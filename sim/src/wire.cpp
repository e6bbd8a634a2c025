#include "kv/sim/wire.h"

#include <algorithm>
#include <stdexcept>

#include "kv/ipv4.h"
#include "kv/sim/adapter/frame_port.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "kv/sim/machine_json.h"

namespace kv::sim {

namespace {

std::array<uint8_t, 4> peerIpv4(const std::string& text) {
    const auto ip = parseIpv4(text);
    if (!ip) throw std::runtime_error("malformed IPv4 address \"" + text + "\"");
    return *ip;
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

// Peer test frames: test type, then the kind byte at 14.
constexpr size_t kKindOffset = 14;
constexpr uint8_t kKindRequest = 1;
constexpr uint8_t kKindReply = 2;

}  // namespace

bool isMagicPacketFor(std::span<const uint8_t> frame, const ethernet::Mac& mac) {
    constexpr size_t kPattern = 6 + 16 * 6;
    for (size_t start = 0; start + kPattern <= frame.size(); ++start) {
        bool match = std::all_of(frame.begin() + start, frame.begin() + start + 6, [](uint8_t b) { return b == 0xFF; });
        for (size_t r = 0; match && r < 16; ++r)
            match = std::equal(mac.begin(), mac.end(), frame.begin() + start + 6 + r * 6);
        if (match) return true;
    }
    return false;
}

bool isAddressResolutionFor(std::span<const uint8_t> frame, const std::array<uint8_t, 4>& ip) {
    constexpr size_t kTargetIp = 38;
    if (ethernet::type(frame) != 0x0806 || frame.size() < kTargetIp + 4) return false;
    if (ip == std::array<uint8_t, 4>{}) return false;
    return std::equal(ip.begin(), ip.end(), frame.begin() + kTargetIp);
}

std::string netbiosQueryName(std::span<const uint8_t> frame) {
    constexpr size_t kName = 54;
    if (frame.size() < kName + 34 || ethernet::type(frame) != 0x0800 || frame[23] != 17) return {};
    if (frame[36] != 0x00 || frame[37] != 0x89 || frame[kName] != 0x20) return {};
    std::string name;
    for (size_t i = 0; i < 15; ++i) {
        const int hi = frame[kName + 1 + 2 * i] - 'A';
        const int lo = frame[kName + 2 + 2 * i] - 'A';
        if (hi < 0 || hi > 15 || lo < 0 || lo > 15) return {};
        name.push_back(static_cast<char>((hi << 4) | lo));
    }
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

void Wire::configure(const Json& wireJson) {
    peers_.clear();
    const Json& peers = wireJson["peers"];
    for (size_t i = 0; i < peers.size(); ++i) {
        const Json& p = peers[i];
        PeerStation peer;
        try {
            if (!p["mac"].isString()) throw std::runtime_error("mac is required");
            peer.mac = parseMac(p["mac"].asString());
            if (p.contains("ip")) peer.ip = peerIpv4(p["ip"].asString());
        } catch (const std::exception& e) {
            throw std::runtime_error("wire.peers[" + std::to_string(i) + "]: " + e.what());
        }
        peer.name = upper(p["name"].asString()).substr(0, 15);
        peer.asleep = p["asleep"].asBool(false);
        peer.answersTestFrames = p["answersTestFrames"].asBool(true);
        peer.replyDelayMs = p["replyDelayMs"].asUInt(1);
        peers_.push_back(std::move(peer));
    }
}

void Wire::transmit(Machine& machine, const Adapter* from, std::span<const uint8_t> frame) {
    Host& host = Host::get();
    host.pcap().write(host.clock().nowMs(), frame);
    for (auto& adapter : machine.adapters) {
        if (adapter.get() == from || !adapter->present || !adapter->link.up) continue;
        if (auto* port = adapter->component<FramePort>())
            port->arrive(*adapter, std::vector<uint8_t>(frame.begin(), frame.end()), 0);
    }
    for (auto& peer : peers_) peerSees(machine, peer, frame);
}

void Wire::peerSees(Machine& machine, PeerStation& peer, std::span<const uint8_t> frame) {
    if (ethernet::source(frame) == peer.mac) return;
    if (peer.asleep) {
        const char* reason = nullptr;
        if (isMagicPacketFor(frame, peer.mac))
            reason = "magic packet";
        else if (isAddressResolutionFor(frame, peer.ip))
            reason = "address resolution";
        else if (!peer.name.empty() && netbiosQueryName(frame) == peer.name)
            reason = "NetBIOS name query";
        if (reason) {
            peer.asleep = false;
            Host::get().trace().add("peer " + ethernet::macText(peer.mac) + " wakes: " + reason);
        }
        return;
    }
    const auto destination = ethernet::destination(frame);
    if (!peer.answersTestFrames || !ethernet::isTestFrame(frame) || frame.size() <= kKindOffset) return;
    if (frame[kKindOffset] != kKindRequest || (destination != peer.mac && destination != ethernet::kBroadcast)) return;
    std::vector<uint8_t> reply(frame.begin(), frame.end());
    const auto requester = ethernet::source(frame);
    std::copy(requester.begin(), requester.end(), reply.begin());
    std::copy(peer.mac.begin(), peer.mac.end(), reply.begin() + 6);
    reply[kKindOffset] = kKindReply;
    Host::get().clock().schedule(peer.replyDelayMs,
                                 [this, &machine, r = std::move(reply)] { transmit(machine, nullptr, r); });
}

}  // namespace kv::sim
