// The driver's wake-up pattern test area (OID_TVX_WAKEUP_PATTERN_LEN, _WRITE, _READ): 516 bytes
// that a write fills from the start of the request's data and a read returns. The length the
// driver reports for the test is wakeupPatterns.testLength.
#include <algorithm>
#include <array>

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

namespace err = kv::platform::err;

class WakeupPatterns : public AdapterComponent {
public:
    static constexpr size_t kAreaBytes = 516;

    void configure(const Json& adapterJson, Adapter&) override {
        testLength_ = static_cast<uint32_t>(adapterJson["wakeupPatterns"]["testLength"].asUIntOrHex(kAreaBytes));
    }

    std::optional<uint32_t> handle(OidCall& call, Adapter&) override {
        switch (call.oid) {
            case protocol::OID_TVX_WAKEUP_PATTERN_LEN:
                if (call.data.size() < 4) return err::kInsufficientBuffer;
                writeU32(call.data, 0, testLength_);
                return err::kSuccess;
            case protocol::OID_TVX_WAKEUP_PATTERN_WRITE:
                std::copy_n(call.data.begin(), std::min(call.data.size(), kAreaBytes), area_.begin());
                return err::kSuccess;
            case protocol::OID_TVX_WAKEUP_PATTERN_READ: {
                const size_t n = std::min(call.data.size(), kAreaBytes);
                std::copy_n(area_.begin(), n, call.data.begin());
                std::fill(call.data.begin() + static_cast<std::ptrdiff_t>(n), call.data.end(), 0);
                return err::kSuccess;
            }
            default:
                return std::nullopt;
        }
    }

private:
    uint32_t testLength_ = kAreaBytes;
    std::array<uint8_t, kAreaBytes> area_{};
};

}  // namespace

std::unique_ptr<AdapterComponent> makeWakeupPatterns() { return std::make_unique<WakeupPatterns>(); }

}  // namespace kv::sim
