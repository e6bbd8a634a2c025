// The self-tests that send the library's test frame to the adapter itself and compare what comes
// back: through the PHY in loopback (PHY loopback, DMA block, FIFO) and with the protocols
// unbound and the PHY set up for its loopback at 1000 Mbit/s (eLoopback).
#include <array>
#include <utility>

#include "kelvalib.h"
#include "kv/phy_registers.h"
#include "kv/platform/system.h"
#include "kv/protocol.h"
#include "phy_loopback.h"

using namespace kv;

namespace {

constexpr int kFifoIterations = 64;
// More frames than this waiting before one exchange means the receive path is flooded.
constexpr int kFifoDrainLimit = 1000;

// eLoopback at 1000 Mbit/s: PHY words on the page that register 31 selects.
using phy::kPageSelect;
constexpr uint32_t kGigabit = 1000;
constexpr uint32_t kExchangeSettleMs = 100;
constexpr uint32_t kRelinkPollMs = 500;
constexpr int kRelinkWaits = 11;

struct PhyWord {
    uint16_t reg;
    uint16_t value;
};

constexpr std::array<uint16_t, 7> kSavedPage0 = {0x13, 0x00, 0x0E, 0x0C, 0x19, 0x17, 0x1A};
constexpr std::array<uint16_t, 5> kSavedPage1 = {1, 2, 3, 4, 0};
constexpr std::array<PhyWord, 7> kSetupPage1 = {
    {{4, 0xB000}, {3, 0xFF41}, {2, 0xD720}, {1, 0x0140}, {0, 0x00BB}, {4, 0xB800}, {4, 0xB000}}};
constexpr std::array<PhyWord, 9> kSetupPage0 = {{{0x0C, 0x0A00},
                                                 {0x0C, 0x0200},
                                                 {0x0E, 0x0200},
                                                 {0x0E, 0x0210},
                                                 {0x1A, 0x0020},
                                                 {0x00, 0x0140},
                                                 {0x0C, 0x0200},
                                                 {0x17, 0x0128},
                                                 {0x17, 0x0138}}};
constexpr std::array<uint16_t, 5> kRestorePage1 = {4, 0, 1, 2, 3};
constexpr std::array<uint16_t, 6> kRestorePage0 = {0x17, 0x19, 0x0C, 0x0E, 0x00, 0x13};

// The PHY words that eLoopback changes, as they were before.
class SavedPhyWords {
public:
    void save() {
        WritePhyUshort(kPageSelect, 0);
        for (uint16_t reg : kSavedPage0) page0_[reg] = ReadPhyUshort(reg);
        WritePhyUshort(kPageSelect, 1);
        for (uint16_t reg : kSavedPage1) page1_[reg] = ReadPhyUshort(reg);
    }
    void restore() const {
        WritePhyUshort(kPageSelect, 1);
        for (uint16_t reg : kRestorePage1) WritePhyUshort(reg, page1_[reg]);
        WritePhyUshort(kPageSelect, 0);
        for (uint16_t reg : kRestorePage0) WritePhyUshort(reg, page0_[reg]);
        WritePhyUshort(kPageSelect, 0);
        WritePhyUshort(0x1A, page0_[0x1A]);
    }

private:
    std::array<uint16_t, 32> page0_{};
    std::array<uint16_t, 32> page1_{};
};

void setUpGigabitLoopback() {
    WritePhyUshort(kPageSelect, 1);
    for (const auto& w : kSetupPage1) WritePhyUshort(w.reg, w.value);
    WritePhyUshort(kPageSelect, 0);
    for (const auto& w : kSetupPage0) WritePhyUshort(w.reg, w.value);
}

}  // namespace

KV_API int API_PHYLoopbackTest(void) {
    lib::PhyLoopback loopback;
    if (!loopback.waitForLink()) return 0;
    return lib::exchangeTestFrame(lib::incrementingPattern()) ? 1 : 0;
}

KV_API int API_DMABlockTest(void) {
    lib::PhyLoopback loopback;
    if (!loopback.waitForLink()) return 0;
    bool pass = true;
    // Every block runs, also after a mismatch.
    for (const auto& block : {lib::filledPattern(0x00), lib::filledPattern(0x01), lib::incrementingPattern()})
        if (!lib::exchangeTestFrame(block)) pass = false;
    return pass ? 1 : 0;
}

KV_API int API_FIFOTest(void) {
    lib::PhyLoopback loopback;
    if (!loopback.waitForLink()) return 0;
    lib::TestData receive{};
    for (int iteration = 0; iteration < kFifoIterations; ++iteration) {
        const lib::TestData send = lib::incrementingPattern();
        int drained = 0;
        while (DoReadProcDataIMD(receive.data()))
            if (++drained > kFifoDrainLimit) return 0;
        if (!lib::exchangeTestFrame(send, receive)) return 0;
    }
    return 1;
}

KV_API int API_eLoopbackTest(void) {
    lib::TestData receive{};
    const lib::TestData send = lib::incrementingPattern();
    Unbind_Ptl();
    API_EnableTVXDiag();
    API_PHYDiagStart();
    API_SetPktFilterType(protocol::kFilterPromiscuous);
    uint32_t speed = 0;
    API_GetLinkSpeed(&speed);
    const bool gigabit = speed == kGigabit;

    SavedPhyWords saved;
    if (gigabit) {
        saved.save();
        setUpGigabitLoopback();
    }
    platform::clock().sleep(kExchangeSettleMs);
    const bool pass = lib::exchangeTestFrame(send, receive);
    if (gigabit) saved.restore();

    API_PHYDiagEnd();
    bind_Ptl();
    API_SetPktFilterType(protocol::kFilterDirected | protocol::kFilterBroadcast);
    // The verdict stands whatever the link does; the wait only lets it come back.
    for (int wait = 0; wait < kRelinkWaits && !API_IsLink(); ++wait) platform::clock().sleep(kRelinkPollMs);
    return pass ? 1 : 0;
}
