// Throughput from two byte totals read some time apart, and its text in bits per second.
#pragma once

#include <cstdint>
#include <string>

namespace kv::jobs {

// The statistics page reads the totals every half second.
inline constexpr uint32_t kStatisticsPeriodMs = 500;
inline constexpr double kStatisticsPeriodSeconds = kStatisticsPeriodMs / 1000.0;

// Bytes per second from the previous and the current byte total of one period. A previous total of
// 0 means there is no earlier reading (rate 0); a total that went down (a driver reset) gives 0 as
// well.
double rateFromTotals(uint64_t previousTotal, uint64_t currentTotal, double seconds = kStatisticsPeriodSeconds);

// The rate in bits per second, as "%0.2f bps", "%0.2f Kbps" or "%0.2f Mbps": a unit is kept while
// the number is not above 1024.
std::string formatThroughput(double bytesPerSecond);

}  // namespace kv::jobs
