// The texts people read of an adapter: its details as the General and Driver pages show them
// (their labels, their value formats), its counters as the Statistics page shows them, and its raw
// images as hex. The command line prints them and the support report is made of them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "kv/jobs/adapter_facts.h"
#include "kv/jobs/statistics.h"

namespace kv::jobs {

// Everything `info` shows of one adapter, read with it selected.
struct AdapterDetails {
    ListedAdapter adapter;
    AdapterRecords records;
    AddressFacts addresses;
    LinkFacts link;
};
// Nothing when the adapter cannot be selected or its Ethernet address read.
std::optional<AdapterDetails> readAdapterDetails(const ListedAdapter& adapter);
// The live facts of the current adapter, whose records are read already.
AdapterDetails detailsOf(const ListedAdapter& adapter, AdapterRecords records);

// "Adapter 0: <description>", and a VLAN's parent after it.
std::string adapterHeading(const ListedAdapter& adapter);
// The link as one value, as the General page says it: the speed's text, or "Disconnected".
std::string linkText(const LinkFacts& link);

// The General page's rows, then the Driver page's under "Driver".
std::string adapterDetailsText(const AdapterDetails& details);

// The throughputs between two samples, in bytes per second (rates of the totals that answered).
struct SampleRates {
    std::optional<double> sendBytesPerSecond;
    std::optional<double> receiveBytesPerSecond;
    double totalBytesPerSecond() const { return sendBytesPerSecond.value_or(0) + receiveBytesPerSecond.value_or(0); }
};
SampleRates ratesBetween(const CounterSample& previous, const CounterSample& current, double seconds);
// The counters and byte totals, "Unknown" where the driver refused; the throughputs first when
// there are rates, as the Statistics page lists them.
std::string countersText(const CounterSample& sample, const std::optional<SampleRates>& rates);

// Rows of 16 bytes: "0000  00 1d 7a ...", the offset in hex.
std::string hexBytesText(std::span<const uint8_t> bytes);
// Rows of 8 words: "00  1d00 7a00 ...", the word address in hex.
std::string hexWordsText(std::span<const uint16_t> words);

}  // namespace kv::jobs
