#include "kv/jobs/throughput.h"

#include <cstdio>

namespace kv::jobs {

double rateFromTotals(uint64_t previousTotal, uint64_t currentTotal, double seconds) {
    if (previousTotal == 0 || seconds <= 0.0) return 0.0;
    // The difference as a signed 64-bit number over the period: over half a second, doubled.
    const double rate = static_cast<double>(static_cast<int64_t>(currentTotal - previousTotal)) / seconds;
    return rate < 0.0 ? 0.0 : rate;
}

namespace {

// The number with two decimals and its unit; as long as the number needs.
std::string withUnit(double value, const char* unit) {
    const int length = std::snprintf(nullptr, 0, "%0.2f %s", value, unit);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%0.2f %s", value, unit);
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

std::string formatThroughput(double bytesPerSecond) {
    double value = bytesPerSecond * 8.0;
    if (value <= 1024.0) return withUnit(value, "bps");
    value /= 1024.0;
    if (value <= 1024.0) return withUnit(value, "Kbps");
    return withUnit(value / 1024.0, "Mbps");
}

}  // namespace kv::jobs
