// The adapter's traffic counters as the Statistics page reads them: four standard counters and the
// library's two byte totals, each through API_GetOID with an 8-byte buffer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kv::jobs {

// One counter the page lists: its object id and the string-table id of its label.
struct CounterEntry {
    uint32_t oid;
    int labelId;
};

// "Packet Sent", "Packet Received", "Error(Send)", "Error(Receive)", in the page's order.
const std::array<CounterEntry, 4>& counterEntries();

// A driver value of eight bytes, or the low four when it answered fewer.
struct OidValue {
    uint64_t value;
    bool wide;  // the driver answered all eight bytes
};
// None when the driver refuses the query.
std::optional<OidValue> queryCounter(uint32_t oid);

// The value the page shows for a counter: drivers of versions 1 to 606 count one send error too
// many once they have counted any.
uint64_t shownCounterValue(uint32_t oid, uint64_t value, int driverVersion);

// One reading of every counter and both byte totals; a refused query leaves its entry empty.
struct CounterSample {
    std::array<std::optional<uint64_t>, 4> counters;  // in counterEntries() order, as shown
    std::optional<uint64_t> bytesSent;
    std::optional<uint64_t> bytesReceived;
};
CounterSample readCounters(int driverVersion);

}  // namespace kv::jobs
