// Raw frames on the channel: the test frame of the self-tests, the peer test frame, the signal
// frame, and the adapter's receive packet filter.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "frame_io.h"
#include "kelvalib.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "notify.h"
#include "oid_request.h"

using namespace kv;

namespace {

// The test frame: own address twice, the test type, 256 data bytes.
constexpr size_t kTestDataBytes = 256;
constexpr size_t kTestFrameBytes = lib::kHeaderBytes + kTestDataBytes;
static_assert(kTestFrameBytes == 270);
// How long a test-frame read waits for each frame.
constexpr uint32_t kTestReadTimeoutMs = 500;

// The peer test frame: peer address, own address, test type, kind, counting bytes.
constexpr size_t kPeerFrameBytes = 1514;
constexpr size_t kKindOffset = 14;
constexpr uint8_t kKindRequest = 1;
constexpr uint8_t kKindReply = 2;
constexpr uint32_t kPeerReadTimeoutMs = 1000;

// The signal frame: the first 200 bytes of a full-sized pattern buffer.
constexpr size_t kSignalFrameBytes = 200;

constexpr uint32_t kFilterRequestBytes = 16;
constexpr uint32_t kDirectedAndBroadcast = protocol::kFilterDirected | protocol::kFilterBroadcast;

constexpr char kNoBuffer[] = "Failed to malloc Rx Buffer\n";

// Copies the data bytes of a received frame that has `bytes` bytes, never past its end.
void copyTestData(const uint8_t* frame, uint32_t bytes, uint8_t* data256) {
    if (bytes <= lib::kHeaderBytes) return;
    const size_t n = std::min<size_t>(bytes - lib::kHeaderBytes, kTestDataBytes);
    std::memcpy(data256, frame + lib::kHeaderBytes, n);
}

bool sendFilter(uint32_t filter) {
    auto request = lib::OidRequestBuffer::ofLength(protocol::OID_GEN_CURRENT_PACKET_FILTER, kFilterRequestBytes);
    request.putU32(0, filter);
    return request.set();
}

}  // namespace

KV_API KV_BOOL8 DoWriteProcData(const uint8_t* data256) {
    API_EnableTVXDiag();
    API_PHYDiagStart();
    auto frame = lib::allocateFrame(kTestFrameBytes);
    if (!frame) {
        lib::writeStdout(kNoBuffer);
        return 0;
    }
    uint8_t mac[lib::kMacBytes] = {};
    if (!API_GetSrcMac(mac)) {
        lib::showMessage("Get Mac Address Error\n");
        return 0;
    }
    std::memcpy(frame.get(), mac, lib::kMacBytes);
    std::memcpy(frame.get() + lib::kMacBytes, mac, lib::kMacBytes);
    lib::putTestType(frame.get());
    if (data256) std::memcpy(frame.get() + lib::kHeaderBytes, data256, kTestDataBytes);
    const auto result = lib::writeFrame({frame.get(), kTestFrameBytes});
    if (result == lib::WriteResult::TimedOut) lib::writeStdout("DoWriteProc: WriteFile failed\n");
    return result == lib::WriteResult::Sent ? 1 : 0;
}

KV_API KV_BOOL8 DoReadProcData(uint8_t* data256) {
    auto frame = lib::allocateFrame(kTestFrameBytes);
    if (!frame) {
        lib::writeStdout(kNoBuffer);
        return 0;
    }
    for (;;) {
        const auto read =
            lib::readFrame({frame.get(), kTestFrameBytes}, kTestReadTimeoutMs, "DoReadProcData: ReadFile failed\n");
        if (!read.gotFrame()) return 0;
        // A frame that was already waiting is taken as it is; one that arrived during the wait
        // must be a test frame, otherwise it is dropped and the next one awaited.
        if (read.result == lib::ReadResult::AfterWait && !lib::hasTestType(frame.get(), read.bytes)) continue;
        if (data256) copyTestData(frame.get(), read.bytes, data256);
        return 1;
    }
}

KV_API KV_BOOL8 DoReadProcDataIMD(uint8_t* data256) {
    auto frame = lib::allocateFrame(kTestFrameBytes);
    if (!frame) {
        lib::writeStdout(kNoBuffer);
        return 0;
    }
    const auto read = lib::readFrame({frame.get(), kTestFrameBytes}, 0);
    if (!read.gotFrame()) return 0;
    if (data256) copyTestData(frame.get(), read.bytes, data256);
    return 1;
}

KV_API int API_PTSendPkt(int kind, const uint8_t* peer6) {
    uint8_t mac[lib::kMacBytes] = {};
    if (!peer6 || !API_GetSrcMac(mac)) return 0;
    if (std::memcmp(peer6, mac, lib::kMacBytes) == 0) return 1;
    auto frame = lib::allocateFrame(kPeerFrameBytes);
    if (!frame) return 0;
    std::memcpy(frame.get(), peer6, lib::kMacBytes);
    std::memcpy(frame.get() + lib::kMacBytes, mac, lib::kMacBytes);
    lib::putTestType(frame.get());
    frame[kKindOffset] = kind == 1 ? kKindRequest : kKindReply;
    for (size_t n = kKindOffset + 1; n < kPeerFrameBytes; ++n) frame[n] = static_cast<uint8_t>((n - 15) % 256);
    return lib::writeFrame({frame.get(), kPeerFrameBytes}) == lib::WriteResult::Sent ? 1 : 0;
}

KV_API int APT_PTRecvPkt(uint8_t* sender6, int* kind, int repliesOnly) {
    auto frame = lib::allocateFrame(kPeerFrameBytes);
    if (!frame) return 0;
    for (;;) {
        std::memset(frame.get(), 0, kPeerFrameBytes);
        const auto read = lib::readFrame({frame.get(), kPeerFrameBytes}, kPeerReadTimeoutMs);
        if (!read.gotFrame()) return 0;
        // A peer test frame carries its kind byte after the header; anything else is dropped.
        if (read.bytes <= kKindOffset || !lib::hasTestType(frame.get(), read.bytes)) continue;
        const uint8_t frameKind = frame[kKindOffset];
        if (repliesOnly && frameKind == kKindRequest) continue;
        if (kind) *kind = frameKind == kKindRequest ? 1 : 2;
        if (sender6) std::memcpy(sender6, frame.get() + lib::kMacBytes, lib::kMacBytes);
        return 1;
    }
}

KV_API int WAVSendPkt(int pattern) {
    std::array<uint8_t, kPeerFrameBytes> buffer;
    for (size_t n = 0; n < buffer.size(); ++n) buffer[n] = pattern == 0 ? 0xFF : static_cast<uint8_t>(n % 256);
    return lib::writeFrame(std::span(buffer).first(kSignalFrameBytes)) == lib::WriteResult::Sent ? 1 : 0;
}

KV_API int API_SetPktFilter(void) {
    if (sendFilter(kDirectedAndBroadcast)) return 1;
    lib::showMessage("API_SetPktFilter Error code is " +
                     std::to_string(static_cast<int32_t>(platform::system().lastError())) + " size is " +
                     std::to_string(kFilterRequestBytes));
    return 0;
}

KV_API int API_SetPktFilterType(uint32_t filter) {
    if (sendFilter(filter)) return 1;
    lib::showMessage("API_SetPktFilter Error code is " +
                     std::to_string(static_cast<int32_t>(platform::system().lastError())) + " size is " +
                     std::to_string(kFilterRequestBytes) + "   typeis " + std::to_string(static_cast<int32_t>(filter)));
    return 0;
}
