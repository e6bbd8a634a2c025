// The self-tests the protocol driver runs itself: the register and EEPROM tests, and the
// driver-assisted loopback that counts the frames coming back inside the controller.
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

// Self-test requests carry 8 data bytes; the answer is the u32 at the start of the data.
constexpr uint32_t kSelfTestResultBytes = 4;
constexpr uint32_t kPass = 1;

// The driver-assisted loopback frame: broadcast, own address, the 802.1X type, counting bytes.
constexpr size_t kLoopbackFrameBytes = 100;
constexpr int kLoopbackFrames = 10;
constexpr uint32_t kLoopbackStartMs = 3000;
constexpr uint32_t kLoopbackDrainMs = 1000;

lib::OidRequestBuffer selfTestRequest(uint32_t oid) {
    return lib::OidRequestBuffer::forResult(oid, kSelfTestResultBytes);
}

// The loopback's end: the driver reports how many frames came back.
bool loopbackReturned(uint32_t atLeast) {
    auto result = selfTestRequest(protocol::OID_TVX_LOOPBACK_RESULT);
    return result.query() && result.u32(0) >= atLeast;
}

}  // namespace

KV_API int API_MacRegisterTest(void) {
    auto request = selfTestRequest(protocol::OID_TVX_MAC_REG_TEST);
    return request.query() && request.u32(0) == kPass ? 1 : 0;
}

KV_API int API_EEPROMTest(void) {
    auto request = selfTestRequest(protocol::OID_TVX_EEPROM_TEST);
    if (!request.query()) {
        lib::showMessage("EEPROM test  error");
        return 0;
    }
    return request.u32(0) == kPass ? 1 : 0;
}

KV_API int API_LoopbackTest(void) {
    if (!selfTestRequest(protocol::OID_TVX_LOOPBACK_START).query()) return 0;
    platform::clock().sleep(kLoopbackStartMs);

    auto frame = lib::allocateFrame(kLoopbackFrameBytes);
    if (!frame) {
        lib::showMessage("Too small  SendCount is 0");
        loopbackReturned(kLoopbackFrames);  // ends the loopback
        return 0;
    }
    std::memset(frame.get(), 0xFF, lib::kMacBytes);
    API_GetSrcMac(frame.get() + lib::kMacBytes);
    frame[12] = 0x88;
    frame[13] = 0x8E;
    for (size_t i = lib::kHeaderBytes; i < kLoopbackFrameBytes; ++i)
        frame[i] = static_cast<uint8_t>(i - lib::kHeaderBytes);

    for (int sent = 0; sent < kLoopbackFrames; ++sent)
        if (lib::writeFrame({frame.get(), kLoopbackFrameBytes}) != lib::WriteResult::Sent) return 0;

    platform::clock().sleep(kLoopbackDrainMs);
    return loopbackReturned(kLoopbackFrames) ? 1 : 0;
}

KV_API int API_MACLoopbackTest(void) { return API_LoopbackTest(); }
