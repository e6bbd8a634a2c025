#include "kv/jobs/adapter_text.h"

#include <cstdio>

#include "kv/jobs/string_table.h"
#include "kv/jobs/text_layout.h"
#include "kv/jobs/throughput.h"

namespace kv::jobs {

namespace {

std::string counterText(const std::optional<uint64_t>& value) {
    return value ? std::to_string(*value) : std::string("Unknown");
}

// Rows of `perRow` values, each row after its first value's position.
template <typename Value>
std::string hexRows(std::span<const Value> values, size_t perRow, const char* positionFormat, const char* valueFormat) {
    std::string out;
    for (size_t at = 0; at < values.size(); at += perRow) {
        std::string line = formatted(positionFormat, at);
        for (size_t i = at; i < values.size() && i < at + perRow; ++i)
            line += formatted(valueFormat, unsigned{values[i]});
        out += line + "\n";
    }
    return out;
}

void addRows(LabelValueText& text, const std::vector<LabelledValue>& rows) {
    for (const auto& row : rows) text.add(row.labelId ? resourceText(row.labelId) : std::string(), row.value);
}

}  // namespace

std::optional<AdapterDetails> readAdapterDetails(const ListedAdapter& adapter) {
    auto records = selectAndRead(adapter.index);
    if (!records) return std::nullopt;
    return detailsOf(adapter, std::move(*records));
}

AdapterDetails detailsOf(const ListedAdapter& adapter, AdapterRecords records) {
    AdapterDetails details{adapter, std::move(records), {}, {}};
    details.addresses = readAddresses(details.records.info.ChipClass);
    details.link = readLink();
    return details;
}

std::string adapterHeading(const ListedAdapter& adapter) {
    std::string heading = "Adapter " + std::to_string(adapter.index) + ": " + adapter.description;
    if (adapter.parentIndex >= 0) heading += " (VLAN of adapter " + std::to_string(adapter.parentIndex) + ")";
    return heading;
}

std::string linkText(const LinkFacts& link) {
    if (!link.up) return resourceText(ids::general::kDisconnected);
    return link.speedMbps ? resourceText(linkSpeedTextId(*link.speedMbps)) : std::string("Connected");
}

std::string adapterDetailsText(const AdapterDetails& details) {
    const AdapterInfo& info = details.records.info;
    LabelValueText general;
    addRows(general, generalRows(info, details.addresses, details.link));
    std::string text = adapterHeading(details.adapter) + "\n" + general.text();
    LabelValueText driver;
    addRows(driver, driverRows(info, *details.records.driver));
    if (!driver.empty()) text += "Driver\n" + driver.text();
    return text;
}

SampleRates ratesBetween(const CounterSample& previous, const CounterSample& current, double seconds) {
    SampleRates rates;
    if (previous.bytesSent && current.bytesSent)
        rates.sendBytesPerSecond = rateFromTotals(*previous.bytesSent, *current.bytesSent, seconds);
    if (previous.bytesReceived && current.bytesReceived)
        rates.receiveBytesPerSecond = rateFromTotals(*previous.bytesReceived, *current.bytesReceived, seconds);
    return rates;
}

std::string countersText(const CounterSample& sample, const std::optional<SampleRates>& rates) {
    LabelValueText rows;
    if (rates) {
        const auto rateText = [](const std::optional<double>& rate) {
            return rate ? formatThroughput(*rate) : std::string("Unknown");
        };
        using namespace ids::statistics;
        rows.add(resourceText(kThroughputSend), rateText(rates->sendBytesPerSecond))
            .add(resourceText(kThroughputReceive), rateText(rates->receiveBytesPerSecond))
            .add(resourceText(kThroughputTotal), formatThroughput(rates->totalBytesPerSecond()));
    }
    for (size_t i = 0; i < counterEntries().size(); ++i)
        rows.add(resourceText(counterEntries()[i].labelId), counterText(sample.counters[i]));
    rows.add("Bytes Sent", counterText(sample.bytesSent)).add("Bytes Received", counterText(sample.bytesReceived));
    return rows.text();
}

std::string hexBytesText(std::span<const uint8_t> bytes) { return hexRows(bytes, 16, "%04zx ", " %02x"); }

std::string hexWordsText(std::span<const uint16_t> words) { return hexRows(words, 8, "%02zx ", " %04x"); }

}  // namespace kv::jobs
