// The cable analysis: with link, the length the PHY estimates for the working cable; without
// link, a time-domain test of each pair that tells a normal pair from an open or short one and
// how far away the fault lies.
#include <array>
#include <optional>
#include <span>

#include "kelvalib.h"
#include "kv/bytes.h"
#include "kv/platform/system.h"
#include "phy_sequence.h"

using namespace kv;

namespace {

constexpr unsigned kPairs = 4;
enum Status : int32_t { kNormal = 0, kShort = 1, kOpen = 2, kOtherFault = 3 };
// Longer lengths are not believed and reported as 0.
constexpr int32_t kMaxLengthM = 200;

constexpr uint32_t kLinkSettleMs = 1000;
constexpr uint32_t kLinkPollMs = 100;
constexpr int kLinkPolls = 100;

// Pair test: page 3.
constexpr uint16_t kStartPairTest = 0x8300;
constexpr uint16_t kPairTestDone = 0x8000;
constexpr uint32_t kPairPollMs = 100;
constexpr int kPairPolls = 200;

constexpr lib::PhyWrite k4450Preparation[] = {{3, 0x0E, 0x0A00}, {3, 6, 0x5352}};
constexpr lib::PhyWrite k4430Preparation[] = {{3, 0x0E, 0x0800}, {3, 6, 0x5352}};
constexpr lib::PhyWrite k4440Rev2Preparation[] = {{3, 5, 0x00A0}, {3, 6, 0x5258}, {3, 0x0E, 0x0D00}};
constexpr lib::PhyWrite kRestoreAfterPairTests[] = {{0, 0, 0}, {0, 0x0E, 0}};

struct Chip {
    uint16_t deviceId = 0;
    uint8_t revisionId = 0;
    // The 4440 of revision 2 reports pair results in its own encoding.
    bool fineEncoding() const { return deviceId == 0x4440 && revisionId == 2; }
};

Chip readChip() {
    std::array<uint8_t, 1024> config{};
    GetPciConfigSpace(config.data());
    return {readU16(config, 2), config[8]};
}

std::span<const lib::PhyWrite> preparation(const Chip& chip) {
    if (chip.deviceId == 0x4450) return k4450Preparation;
    if (chip.fineEncoding()) return k4440Rev2Preparation;
    if (chip.deviceId == 0x4430 || chip.deviceId == 0x4440) return k4430Preparation;
    return {};
}

int32_t reportedLength(int32_t metres) { return metres > kMaxLengthM ? 0 : metres; }

struct PairResult {
    int32_t status = kNormal;
    std::optional<int32_t> lengthM;  // none for a pair without fault
};

// The two fault bits mean short and open on pairs 0 and 2, open and short on pairs 1 and 3.
PairResult decodePair(uint16_t value, unsigned pair, const Chip& chip) {
    const bool fine = chip.fineEncoding();
    const uint16_t first = fine ? 0x2000 : 0x1000;
    const uint16_t second = fine ? 0x4000 : 0x2000;
    const uint16_t bits = value & (first | second);
    if (bits == 0) return {};
    const bool swapped = (pair & 1) != 0;
    PairResult r;
    if (bits == first)
        r.status = swapped ? kOpen : kShort;
    else if (bits == second)
        r.status = swapped ? kShort : kOpen;
    else
        r.status = kOtherFault;
    r.lengthM = reportedLength(fine ? (value & 0x1FFF) / 40 : (value >> 1) & 0xFF);
    return r;
}

void waitForLink() {
    platform::clock().sleep(kLinkSettleMs);
    for (int polls = 0; !API_IsLink() && polls < kLinkPolls; ++polls) platform::clock().sleep(kLinkPollMs);
}

// A working cable: the PHY's length estimate for every pair, then the link negotiated anew. The
// estimate is reported as the PHY latched it, whatever the link's speed (at 1000 Mbit/s the
// estimator counts in steps of its own, which only the green feature's stages turn into metres).
void analyseWithLink(int32_t* result) {
    API_WritePHY(phy::kCableLengthPage, phy::kPageSelect, phy::kCableLengthPage);
    API_WritePHY(phy::kCableLengthPage, phy::kCableLengthMeasure, 1);
    uint16_t value = 0;
    API_ReadPHY(phy::kCableLengthPage, phy::kCableLengthEstimate, &value);
    const int32_t metres = reportedLength(value & 0xFF);
    for (unsigned i = 0; i < kPairs; ++i) {
        result[i] = kNormal;
        result[i + kPairs] = metres;
    }
    API_PHYDiagEnd();
    API_NWAYReStart();
    waitForLink();
}

// Runs one pair's test and polls its result until done, or decodes the last value read.
uint16_t testPair(unsigned pair) {
    API_WritePHY(phy::kTestPage, phy::kPairTestControl, static_cast<uint16_t>(kStartPairTest | (pair * 0x11)));
    // A read that fails keeps the value this pair read before.
    uint16_t value = 0;
    API_ReadPHY(phy::kTestPage, phy::kPairTestResult, &value);
    for (int polls = 0; !(value & kPairTestDone) && polls < kPairPolls; ++polls) {
        API_ReadPHY(phy::kTestPage, phy::kPairTestResult, &value);
        platform::clock().sleep(kPairPollMs);
    }
    return value;
}

void analysePairs(int32_t* result) {
    const Chip chip = readChip();
    lib::writePhyPaged(preparation(chip));
    for (unsigned i = 0; i < kPairs; ++i) {
        const PairResult r = decodePair(testPair(i), i, chip);
        result[i] = r.status;
        if (r.lengthM) result[i + kPairs] = *r.lengthM;
        API_WritePHY(phy::kTestPage, phy::kPairTestControl, 0);
    }
    lib::writePhyPaged(kRestoreAfterPairTests);
    API_PHYDiagEnd();
    API_NWAYReStart();
}

}  // namespace

KV_API int API_GetCableStatus(int32_t* result8) {
    if (!result8) return 0;
    if (!API_CheckCardPresent()) return 0;
    API_EnableTVXDiag();
    API_PHYDiagStart();
    if (API_IsLink())
        analyseWithLink(result8);
    else
        analysePairs(result8);
    return 1;
}
