#include "kv/sim/ip_frames.h"

#include <algorithm>

namespace kv::sim {

namespace {

constexpr size_t kMinimumFrame = 60;
constexpr uint16_t kTypeIpv4 = 0x0800;
constexpr uint16_t kTypeArp = 0x0806;
constexpr uint16_t kNetbiosNamePort = 137;

void putU16(std::vector<uint8_t>& f, uint16_t v) {
    f.push_back(static_cast<uint8_t>(v >> 8));
    f.push_back(static_cast<uint8_t>(v));
}

template <typename Bytes>
void put(std::vector<uint8_t>& f, const Bytes& bytes) {
    f.insert(f.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> header(const ethernet::Mac& to, const ethernet::Mac& from, uint16_t type) {
    std::vector<uint8_t> f;
    put(f, to);
    put(f, from);
    putU16(f, type);
    return f;
}

std::vector<uint8_t> padded(std::vector<uint8_t> f) {
    if (f.size() < kMinimumFrame) f.resize(kMinimumFrame, 0);
    return f;
}

std::vector<uint8_t> arp(uint16_t operation, const ethernet::Mac& to, const ethernet::Mac& senderMac,
                         const Ipv4Address& senderIp, const ethernet::Mac& targetMac, const Ipv4Address& targetIp) {
    auto f = header(to, senderMac, kTypeArp);
    putU16(f, 1);  // Ethernet
    putU16(f, kTypeIpv4);
    f.push_back(6);
    f.push_back(4);
    putU16(f, operation);
    put(f, senderMac);
    put(f, senderIp);
    put(f, targetMac);
    put(f, targetIp);
    return padded(std::move(f));
}

uint16_t ipChecksum(const uint8_t* header, size_t bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < bytes; i += 2) sum += static_cast<uint32_t>((header[i] << 8) | header[i + 1]);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

}  // namespace

std::vector<uint8_t> arpRequest(const ethernet::Mac& senderMac, const Ipv4Address& senderIp,
                                const Ipv4Address& target) {
    return arp(1, ethernet::kBroadcast, senderMac, senderIp, ethernet::Mac{}, target);
}

std::vector<uint8_t> arpReply(const ethernet::Mac& senderMac, const Ipv4Address& senderIp, const ethernet::Mac& toMac,
                              const Ipv4Address& toIp) {
    return arp(2, toMac, senderMac, senderIp, toMac, toIp);
}

std::vector<uint8_t> netbiosNameQuery(const ethernet::Mac& senderMac, const Ipv4Address& senderIp,
                                      const Ipv4Address& broadcast, std::string_view name, uint16_t transactionId) {
    // The name service message: header, one question for the first-level encoded name.
    std::vector<uint8_t> nbns;
    putU16(nbns, transactionId);
    putU16(nbns, 0x0110);  // query, recursion desired, broadcast
    putU16(nbns, 1);
    putU16(nbns, 0);
    putU16(nbns, 0);
    putU16(nbns, 0);
    std::string padded15(name.substr(0, 15));
    for (char& c : padded15)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    padded15.resize(15, ' ');
    nbns.push_back(32);
    for (unsigned char c : padded15 + '\0') {
        nbns.push_back(static_cast<uint8_t>('A' + (c >> 4)));
        nbns.push_back(static_cast<uint8_t>('A' + (c & 15)));
    }
    nbns.push_back(0);
    putU16(nbns, 0x0020);  // NB
    putU16(nbns, 0x0001);  // IN

    auto f = header(ethernet::kBroadcast, senderMac, kTypeIpv4);
    const size_t ip = f.size();
    const auto total = static_cast<uint16_t>(20 + 8 + nbns.size());
    f.push_back(0x45);
    f.push_back(0);
    putU16(f, total);
    putU16(f, transactionId);  // identification
    putU16(f, 0);
    f.push_back(128);  // time to live
    f.push_back(17);   // UDP
    putU16(f, 0);      // checksum, below
    put(f, senderIp);
    put(f, broadcast);
    const uint16_t sum = ipChecksum(f.data() + ip, 20);
    f[ip + 10] = static_cast<uint8_t>(sum >> 8);
    f[ip + 11] = static_cast<uint8_t>(sum);
    putU16(f, kNetbiosNamePort);
    putU16(f, kNetbiosNamePort);
    putU16(f, static_cast<uint16_t>(8 + nbns.size()));
    putU16(f, 0);  // no UDP checksum
    put(f, nbns);
    return padded(std::move(f));
}

}  // namespace kv::sim
