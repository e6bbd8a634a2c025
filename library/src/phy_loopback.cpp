#include "phy_loopback.h"

#include "access.h"
#include "kelvalib.h"
#include "kv/phy_registers.h"
#include "kv/platform/system.h"
#include "notify.h"

namespace kv::lib {

namespace {

constexpr uint16_t kChip4410 = 0x4410;
constexpr uint16_t kChip4430 = 0x4430;
constexpr uint16_t kChip4440 = 0x4440;
constexpr uint16_t kChip4450 = 0x4450;

constexpr uint16_t kPage0 = 0;
using phy::kControl;
using phy::kLoopbackControl;

constexpr uint32_t kLinkSettleMs = 1000;
constexpr uint32_t kLinkPollMs = 1000;
constexpr int kLinkWaits = 10;

}  // namespace

TestData incrementingPattern() {
    TestData data;
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    return data;
}

TestData filledPattern(uint8_t value) {
    TestData data;
    data.fill(value);
    return data;
}

bool exchangeTestFrame(const TestData& send, TestData& receive) {
    receive.fill(0);
    // The write's result is not looked at: a frame lost on the way leaves the area zeroed. A
    // read that got no frame fails the exchange by itself, so that the all-zero block cannot
    // pass with nothing coming back.
    DoWriteProcData(send.data());
    const bool received = DoReadProcData(receive.data()) != 0;
    return received && receive == send;
}

bool exchangeTestFrame(const TestData& send) {
    TestData receive;
    return exchangeTestFrame(send, receive);
}

PhyLoopback::PhyLoopback() {
    API_EnableTVXDiag();
    API_PHYDiagStart();
    if (!GetPciDeviceId(&deviceId_)) {
        deviceId_ = 0;
        writeStdout("Get Did value fail \n");
        return;
    }
    switch (deviceId_) {
        case kChip4410:
            API_WritePHY(kPage0, kControl, 0x2100);
            API_WritePHY(kPage0, phy::kSpecificStatus, 0x03C0);
            break;
        case kChip4430:
        case kChip4440:
        case kChip4450:
            API_WritePHY(kPage0, kLoopbackControl, 0x0002);
            break;
        default:
            break;
    }
}

PhyLoopback::~PhyLoopback() {
    switch (deviceId_) {
        case kChip4430:
        case kChip4450:
            API_WritePHY(kPage0, kControl, 0x9200);
            break;
        case kChip4440:
            API_WritePHY(kPage0, kLoopbackControl, 0x0000);
            break;
        case kChip4410:
            API_WritePHY(kPage0, kControl, 0x8000);
            break;
        default:
            break;
    }
    API_PHYDiagEnd();
    API_NWAYReStart();
}

bool PhyLoopback::waitForLink() {
    platform::clock().sleep(kLinkSettleMs);
    for (int wait = 1; wait <= kLinkWaits; ++wait) {
        if (API_IsLink()) return true;
        platform::clock().sleep(kLinkPollMs);
    }
    return false;
}

}  // namespace kv::lib
