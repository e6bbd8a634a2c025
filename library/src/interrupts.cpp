// The interrupt tests: the driver counts the adapter's interrupt service calls; writing 1 to
// controller register 0x38 makes the controller raise a software interrupt.
#include <string>

#include "kelvalib.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "notify.h"
#include "oid_request.h"
#include "phy_loopback.h"

using namespace kv;

namespace {

constexpr uint32_t kCounterResultBytes = 4;
constexpr uint16_t kSoftwareInterruptRegister = 0x38;
constexpr uint16_t kInterruptStatusRegister = 0x3E;
constexpr uint32_t kInterruptWaitMs = 1000;

// Raises one software interrupt and gives the driver time to count it.
void raiseSoftwareInterrupt() {
    const uint8_t raise = 1;
    WriteMacReg(kSoftwareInterruptRegister, 1, &raise);
    platform::clock().sleep(kInterruptWaitMs);
}

// Puts the directed-and-broadcast filter back when the test ends.
struct FilterRestore {
    ~FilterRestore() { API_SetPktFilterType(protocol::kFilterDirected | protocol::kFilterBroadcast); }
};

}  // namespace

KV_API int CleanISRCounter(void) {
    if (!lib::OidRequestBuffer::forResult(protocol::OID_TVX_CLEAR_ISR_COUNTER, kCounterResultBytes).query()) return 0;
    lib::writeStdout("Clear successful\n");
    return 1;
}

KV_API int GetISRCounter(void) {
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_TVX_GET_ISR_COUNTER, kCounterResultBytes);
    if (!request.query()) {
        lib::writeStdout("ISR count fail");
        return -1;
    }
    const auto count = static_cast<int>(request.u32(0));
    lib::writeStdout("TestResult " + std::to_string(count) + "\n");
    return count;
}

KV_API int SWISRTest(void) {
    API_EnableTVXDiag();
    CleanISRCounter();
    raiseSoftwareInterrupt();
    return GetISRCounter();
}

KV_API KV_BOOL8 CDMISRTest(void) {
    API_SetPktFilterType(0);
    // Declared in this order so that the filter is set back before the PHY is restored.
    lib::PhyLoopback loopback;
    const FilterRestore filter;
    if (!loopback.waitForLink()) return 0;
    CleanISRCounter();
    raiseSoftwareInterrupt();
    const int count = GetISRCounter();
    const uint8_t clear[2] = {0, 0};
    WriteMacReg(kInterruptStatusRegister, 2, clear);
    return count > 0 ? 1 : 0;
}

KV_API int API_CDMISRTest(void) { return CDMISRTest(); }
