// Frames that wake a sleeping computer (magic packet, address resolution for its IPv4 address,
// NetBIOS name query for its name), and the driver's wake-up pattern test area.
#include <algorithm>
#include <array>
#include <cstring>

#include "frame_io.h"
#include "kelvalib.h"
#include "kv/protocol.h"
#include "notify.h"
#include "oid_request.h"

using namespace kv;

namespace {

constexpr uint8_t kBroadcast[lib::kMacBytes] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Magic packet: broadcast header of type IPv4, six bytes of FF, the target address 16 times.
constexpr size_t kMagicPacketBytes = 116;
constexpr size_t kMagicSyncOffset = 14;
constexpr size_t kMagicTargetOffset = 20;
constexpr size_t kMagicRepeats = 16;
static_assert(kMagicTargetOffset + kMagicRepeats * lib::kMacBytes == kMagicPacketBytes);

// Address-resolution frame whose target-protocol-address field holds the IPv4 address.
constexpr size_t kArpFrameBytes = 42;
constexpr size_t kArpTargetIpOffset = 38;

// NetBIOS name query in a UDP datagram from and to port 137.
constexpr size_t kNetbiosFrameBytes = 100;
constexpr size_t kIpProtocolOffset = 23;
constexpr uint8_t kProtocolUdp = 17;
constexpr size_t kUdpPortsOffset = 34;
constexpr size_t kNetbiosFlagsOffset = 44;
constexpr size_t kNetbiosNameOffset = 54;
constexpr size_t kNetbiosNameChars = 15;
constexpr uint8_t kNetbiosSuffix = 0x1C;
constexpr size_t kEncodedNameBytes = 32;
static_assert(kNetbiosNameOffset + 1 + kEncodedNameBytes + 1 <= kNetbiosFrameBytes);

// The wake-up pattern test area of the driver.
constexpr int kMaxPatternBytes = 516;

bool readOwnAddress(uint8_t* mac) { return API_GetSrcMac(mac) != 0; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// First-level encoding of a NetBIOS name: up to 15 characters (to the first NUL or `length`),
// upper case, padded with blanks, the suffix 0x1C as 16th byte; "*" alone is the asterisk and 15
// blanks without suffix. Each byte becomes 'A' + high nibble, 'A' + low nibble.
std::array<uint8_t, kEncodedNameBytes> encodeNetbiosName(const char* name, int length) {
    std::array<uint8_t, 16> raw;
    raw.fill(' ');
    size_t taken = 0;
    const size_t limit = length > 0 ? std::min<size_t>(static_cast<size_t>(length), kNetbiosNameChars) : 0;
    while (name && taken < limit && name[taken] != '\0') {
        raw[taken] = static_cast<uint8_t>(upper(name[taken]));
        ++taken;
    }
    const bool wildcard = taken == 1 && raw[0] == '*';
    raw[15] = wildcard ? ' ' : kNetbiosSuffix;
    std::array<uint8_t, kEncodedNameBytes> encoded;
    for (size_t i = 0; i < raw.size(); ++i) {
        encoded[2 * i] = static_cast<uint8_t>('A' + (raw[i] >> 4));
        encoded[2 * i + 1] = static_cast<uint8_t>('A' + (raw[i] & 0x0F));
    }
    return encoded;
}

bool validPatternLength(const void* pattern, int length) {
    return length >= 0 && length <= kMaxPatternBytes && (pattern || length == 0);
}

}  // namespace

KV_API int API_SendMagicPacket(const uint8_t* target6) {
    uint8_t mac[lib::kMacBytes] = {};
    if (!target6 || !readOwnAddress(mac)) return 0;
    std::array<uint8_t, kMagicPacketBytes> frame{};
    std::memcpy(frame.data(), kBroadcast, lib::kMacBytes);
    std::memcpy(frame.data() + lib::kMacBytes, mac, lib::kMacBytes);
    frame[12] = 0x08;
    frame[13] = 0x00;
    std::memcpy(frame.data() + kMagicSyncOffset, kBroadcast, lib::kMacBytes);
    for (size_t r = 0; r < kMagicRepeats; ++r)
        std::memcpy(frame.data() + kMagicTargetOffset + r * lib::kMacBytes, target6, lib::kMacBytes);
    return lib::writeFrame(frame) == lib::WriteResult::Sent ? 1 : 0;
}

KV_API int API_IPWakeUP(const uint8_t* ip4) {
    uint8_t mac[lib::kMacBytes] = {};
    if (!ip4 || !readOwnAddress(mac)) return 0;
    std::array<uint8_t, kArpFrameBytes> frame{};
    std::memcpy(frame.data(), kBroadcast, lib::kMacBytes);
    std::memcpy(frame.data() + lib::kMacBytes, mac, lib::kMacBytes);
    frame[12] = 0x08;
    frame[13] = 0x06;
    std::memcpy(frame.data() + kArpTargetIpOffset, ip4, 4);
    if (lib::writeFrame(frame) == lib::WriteResult::Sent) return 1;
    lib::showMessage("IP Send fail");
    return 0;
}

KV_API int API_NetBIOSWakeUP(const char* name, int length) {
    std::array<uint8_t, kNetbiosFrameBytes> frame{};
    frame[12] = 0x08;
    frame[13] = 0x00;
    frame[kIpProtocolOffset] = kProtocolUdp;
    frame[kUdpPortsOffset + 1] = 0x89;      // source port 137
    frame[kUdpPortsOffset + 3] = 0x89;      // destination port 137
    frame[kNetbiosFlagsOffset + 1] = 0x10;  // broadcast
    frame[kNetbiosNameOffset] = 0x20;       // length of the encoded name
    const auto encoded = encodeNetbiosName(name, length);
    std::copy(encoded.begin(), encoded.end(), frame.begin() + kNetbiosNameOffset + 1);
    lib::writeFrame(frame);
    return 1;
}

KV_API int WakeupPtnRwTestLen(void) {
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_TVX_WAKEUP_PATTERN_LEN, 0);
    if (!request.query()) {
        lib::showExclamation("Test OId failed");
        return -1;
    }
    const uint32_t length = request.u32(0);
    return length <= static_cast<uint32_t>(kMaxPatternBytes) ? static_cast<int>(length) : -1;
}

KV_API KV_BOOL8 WakeupPtnWrite(const uint8_t* pattern, int length) {
    if (!validPatternLength(pattern, length)) return 0;
    const auto n = static_cast<uint32_t>(length);
    auto request =
        lib::OidRequestBuffer::ofLength(protocol::OID_TVX_WAKEUP_PATTERN_WRITE, n + protocol::kOidHeaderBytes);
    if (n) request.putBytes(0, {pattern, n});
    return request.query() ? 1 : 0;
}

KV_API KV_BOOL8 WakeupPtnRead(uint8_t* pattern, int length) {
    if (!validPatternLength(pattern, length)) return 0;
    const auto n = static_cast<uint32_t>(length);
    auto request =
        lib::OidRequestBuffer::ofLength(protocol::OID_TVX_WAKEUP_PATTERN_READ, n + protocol::kOidHeaderBytes);
    if (!request.query()) {
        lib::showExclamation("Test OId Rd failed");
        return 0;
    }
    return request.copyOut(0, pattern, n) ? 1 : 0;
}
