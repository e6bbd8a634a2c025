#include "kv/jobs/statistics.h"

#include "kelvalib.h"
#include "kv/bytes.h"
#include "kv/jobs/string_table.h"
#include "kv/protocol.h"

namespace kv::jobs {

namespace {

// Drivers of versions 1 to 606 count one send error too many once they have counted any.
constexpr int kLastVersionCountingOneMore = 606;

std::optional<uint64_t> shownValue(uint32_t oid, int driverVersion) {
    const auto answer = queryCounter(oid);
    if (!answer) return std::nullopt;
    return shownCounterValue(oid, answer->value, driverVersion);
}

}  // namespace

const std::array<CounterEntry, 4>& counterEntries() {
    static constexpr std::array<CounterEntry, 4> kEntries = {{
        {protocol::OID_GEN_XMIT_OK, ids::statistics::kPacketSent},
        {protocol::OID_GEN_RCV_OK, ids::statistics::kPacketReceived},
        {protocol::OID_GEN_XMIT_ERROR, ids::statistics::kErrorSend},
        {protocol::OID_GEN_RCV_ERROR, ids::statistics::kErrorReceive},
    }};
    return kEntries;
}

std::optional<OidValue> queryCounter(uint32_t oid) {
    std::array<uint8_t, 8> buffer{};
    uint32_t length = 0;
    if (API_GetOID(oid, buffer.data(), static_cast<uint32_t>(buffer.size()), &length) != 1) return std::nullopt;
    if (length == buffer.size()) return OidValue{readU64(buffer, 0), true};
    return OidValue{readU32(buffer, 0), false};
}

uint64_t shownCounterValue(uint32_t oid, uint64_t value, int driverVersion) {
    if (oid == protocol::OID_GEN_XMIT_ERROR && driverVersion > 0 && driverVersion <= kLastVersionCountingOneMore &&
        value != 0)
        return value - 1;
    return value;
}

CounterSample readCounters(int driverVersion) {
    CounterSample sample;
    for (size_t i = 0; i < counterEntries().size(); ++i)
        sample.counters[i] = shownValue(counterEntries()[i].oid, driverVersion);
    sample.bytesSent = shownValue(protocol::OID_TVX_BYTES_XMIT, driverVersion);
    sample.bytesReceived = shownValue(protocol::OID_TVX_BYTES_RCV, driverVersion);
    return sample;
}

}  // namespace kv::jobs
