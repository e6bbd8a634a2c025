// The cable analysis decodes the PHY's raw pair words itself: a stand-in driver answers page 3
// register 28 with the words of the table as given, so that the decoding is checked against
// hand-worked values and not against the simulated PHY's own encoder.
#include <array>
#include <map>

#include "kv/bytes.h"
#include "kv/protocol.h"
#include "kv/sim/driver_stand_in.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

namespace p = kv::protocol;
using Result = std::array<int32_t, 8>;
constexpr int32_t U = -7;  // an entry the analysis left as it was

// A driver without link that answers every request, the PCI identity and the pair words.
class PairWordDriver : public sim::DriverStandIn {
public:
    PairWordDriver(uint16_t device, uint8_t revision, std::array<uint16_t, 4> words)
        : device_(device), revision_(revision), words_(words) {}

    uint32_t open() override { return 0; }

    uint32_t control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override {
        if (code != p::IOCTL_PROT_QUERY_OID || in.size() < p::kOidHeaderBytes) return 0;
        constexpr size_t kData = p::kOidHeaderBytes;
        switch (readU32(in, 0)) {
            case p::OID_GEN_MEDIA_CONNECT_STATUS:
                writeU32(out, kData, 1);  // disconnected
                break;
            case p::OID_TVX_PCI_CONFIG:
                writeU16(out, kData + 2, device_);
                out[kData + 8] = revision_;
                break;
            case p::OID_TVX_WRITE_PHY:
                // Page 3 register 0 = 0x83ii starts the test of pair i.
                if (readU16(in, kData) == 3 && readU16(in, kData + 2) == 0 &&
                    (readU16(in, kData + 4) & 0xFF00) == 0x8300)
                    pair_ = readU16(in, kData + 4) & 3;
                break;
            case p::OID_TVX_READ_PHY:
                if (readU16(in, kData) == 3 && readU16(in, kData + 2) == 28) writeU16(out, kData + 4, words_[pair_]);
                break;
            default:
                break;
        }
        return 0;
    }

    void transfer(const sim::FrameTransferPtr& t) override { t->state = sim::FrameTransfer::State::Failed; }

private:
    uint16_t device_;
    uint8_t revision_;
    std::array<uint16_t, 4> words_;
    size_t pair_ = 0;
};

using CableWordsTest = LibraryTest;

TEST_F(CableWordsTest, PairWordsDecodeByChipEncoding) {
    const struct Case {
        const char* name;
        uint16_t device;
        uint8_t revision;
        std::array<uint16_t, 4> words;
        Result expected;  // four statuses, then four lengths
    } cases[] = {
        // Bits 0x3000 are the fault, (v >> 1) & 0xFF the metres; pairs 1 and 3 swap short and open.
        {"4450: short, open, no fault, over 200 m",
         0x4450,
         1,
         {0x9164, 0x9164, 0x8000, 0xA1F4},
         {1, 2, 0, 1, 178, 178, U, 0}},
        {"4450: both fault bits", 0x4450, 1, {0xB164, 0xA010, 0x9002, 0xB0C8}, {3, 1, 1, 3, 178, 8, 1, 100}},
        {"4440 other revision: the common encoding",
         0x4440,
         1,
         {0x9164, 0x8000, 0x8000, 0x8000},
         {1, 0, 0, 0, 178, U, U, U}},
        // Revision 2 of the 4440: bits 0x6000 are the fault, (v & 0x1FFF) / 40 the metres.
        {"4440 revision 2", 0x4440, 2, {0xA0C8, 0xA0C8, 0xDF40, 0xFF68}, {1, 2, 2, 3, 5, 5, 200, 0}},
        {"4440 revision 2: fault bits of the common encoding are no fault",
         0x4440,
         2,
         {0x9164, 0x8000, 0xC027, 0x8000},
         {0, 0, 2, 0, U, U, 0, U}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter(c.device);
        sim::Host& host = start();
        PairWordDriver driver(c.device, c.revision, c.words);
        host.protocolDriver().setStandIn(&driver);
        Result result;
        result.fill(U);
        EXPECT_EQ(API_GetCableStatus(result.data()), 1);
        host.protocolDriver().setStandIn(nullptr);
        EXPECT_EQ(result, c.expected);
    }
}

}  // namespace
}  // namespace kv::test
