// The PHY's power-saving "Green Feature": drive levels scaled to the cable length, switched on
// and off through PHY pages 1 to 3 and read back from its enabled marker.
#include <cstdint>
#include <span>

#include "kelvalib.h"
#include "kv/phy_registers.h"
#include "notify.h"
#include "phy_sequence.h"

using namespace kv;

namespace {

constexpr uint32_t kGigabit = 1000;
constexpr uint32_t kFast = 100;
constexpr uint32_t kTen = 10;

constexpr uint16_t kGigabitOn = 0x3955;
constexpr uint16_t kFastOn = 0x648D;

// Every sequence writes the enabled marker last.
constexpr lib::PhyWrite kEnableCommon[] = {{1, 0x14, 0xCAA3}, {1, 0x1C, 0x000A}, {1, 0x18, 0x65D0}};
constexpr lib::PhyWrite kEnableGigabit[] = {{3, 0x17, 0xB580}, {3, 0x18, 0xFF54}, {3, 0x19, 0x3954},
                                            {2, 0x0D, 0x310C}, {2, 0x0E, 0x310C}, {2, 0x0F, 0x311C},
                                            {2, 0x06, 0x0761}, {3, 0x18, 0xFF55}, {3, 0x19, kGigabitOn}};
constexpr lib::PhyWrite kEnableFast[] = {{3, 0x17, 0xF000}, {3, 0x18, 0x0000}, {3, 0x19, 0x648C},
                                         {2, 0x0D, 0x3100}, {2, 0x0E, 0x3104}, {2, 0x0F, 0x3108},
                                         {2, 0x05, 0x261A}, {2, 0x06, 0x0461}, {3, 0x19, kFastOn}};
constexpr lib::PhyWrite kDisableGigabit[] = {{3, 0x18, 0xFF54}, {3, 0x19, 0x3954}};
constexpr lib::PhyWrite kDisableFast[] = {{3, 0x19, 0x648C}};

std::span<const lib::PhyWrite> disableSteps(uint32_t mbps) {
    if (mbps == kGigabit) return kDisableGigabit;
    if (mbps == kFast) return kDisableFast;
    return {};
}

uint32_t linkSpeed() {
    uint32_t mbps = 0;
    API_GetLinkSpeed(&mbps);
    return mbps;
}

// Cable stages 1 to 4 from the measured length: below 30, 70 and 100 metres, and beyond.
int stageOf(int16_t lengthEstimate) {
    if (lengthEstimate < 30) return 1;
    if (lengthEstimate < 70) return 2;
    if (lengthEstimate < 100) return 3;
    return 4;
}

int measuredStage(uint32_t mbps) {
    lib::selectPhyPage(phy::kCableLengthPage);
    WritePhyUshort(phy::kCableLengthMeasure, 1);
    const auto low = static_cast<uint8_t>(ReadPhyUshort(phy::kCableLengthEstimate) & 0xFF);
    return stageOf(phy::cableLengthFromEstimate(low, mbps));
}

void endSequence() {
    lib::selectPhyPage(0);
    API_PHYDiagEnd();
}

}  // namespace

KV_API int GetGFStatus(void) {
    const uint32_t mbps = linkSpeed();
    if (!API_IsLink()) return -1;
    API_EnableTVXDiag();
    API_PHYDiagStart();
    lib::selectPhyPage(phy::kTestPage);
    const uint16_t marker = ReadPhyUshort(phy::kGreenFeatureMarker);
    int status = 0;
    if ((mbps == kFast && marker != kFastOn) || (mbps == kGigabit && marker != kGigabitOn))
        WritePhyUshort(0, 0);
    else
        status = measuredStage(mbps);
    endSequence();
    return status;
}

KV_API KV_BOOL8 EnableGreenFeature(void) {
    if (!API_IsLink()) {
        lib::showMessage("Please plug cable");
        return 0;
    }
    const uint32_t mbps = linkSpeed();
    if (mbps == kTen) {
        lib::showMessage("Green feature do not support 10M");
        return 0;
    }
    API_EnableTVXDiag();
    API_PHYDiagStart();
    lib::writePhySelected(kEnableCommon);
    if (mbps == kGigabit)
        lib::writePhySelected(kEnableGigabit);
    else
        lib::writePhySelected(kEnableFast);
    endSequence();
    return 1;
}

KV_API KV_BOOL8 DisableGreenFeature(void) {
    API_EnableTVXDiag();
    API_PHYDiagStart();
    const uint32_t mbps = linkSpeed();
    // Page 3 is selected at every speed, also when there is nothing to write.
    lib::selectPhyPage(phy::kTestPage);
    for (const lib::PhyWrite& s : disableSteps(mbps)) WritePhyUshort(s.reg, s.value);
    endSequence();
    return 1;
}
