#include "kv/jobs/adapter_text.h"

#include <cstdio>

#include "kv/jobs/ethernet_address.h"
#include "kv/jobs/text_layout.h"
#include "kv/jobs/throughput.h"

namespace kv::jobs {

namespace {

// printf-style text of one number; the formats are the pages' own.
template <typename... Args>
std::string formatted(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string counterText(const std::optional<uint64_t>& value) {
    return value ? std::to_string(*value) : std::string("Unknown");
}

void addPciRows(LabelValueText& rows, const AdapterInfo& info) {
    rows.add("Device Location", formatted("Bus: %04X, Slot: %04X", info.Bus, info.Slot))
        .add("Vendor ID", formatted("%04X", info.VendorId))
        .add("Device ID", formatted("%04X", info.DeviceId))
        .add("SubVendor ID", formatted("%04X", info.SubVendorId))
        .add("SubSystem ID", formatted("%04X", info.SubSystemId))
        .add("Revision ID", formatted("%02X", info.RevisionId))
        // All 32 bits, at least four digits: an I/O base above 0xFFFF keeps its fifth digit.
        .add("IO Address", formatted("%04X", info.IoAddress))
        .add("Memory Address", formatted("%08X", info.MemoryAddress))
        .add("Interrupt Number", formatted("%d", static_cast<int>(info.InterruptNumber)));
}

void addDriverRows(LabelValueText& rows, const DriverFacts& driver) {
    for (const auto& field : driver.fields) rows.add(driverFieldLabel(field.field), field.text);
    // Only the first program file is labelled, so the paths read as one block.
    for (size_t i = 0; i < driver.binaries.size(); ++i) rows.add(i == 0 ? "Binary Path" : "", driver.binaries[i]);
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

std::string linkSpeedText(uint32_t mbps) {
    switch (mbps) {
        case 10:
            return "10 Mbps";
        case 100:
            return "100 Mbps";
        case 1000:
            return "1.0 Gbps";
        default:
            return "Unknow";
    }
}

std::string linkText(const LinkFacts& link) {
    if (!link.up) return "Disconnected";
    return link.speedMbps ? linkSpeedText(*link.speedMbps) : std::string("Connected");
}

std::string ipv4Text(const std::array<uint8_t, 4>& address) {
    return formatted("%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
}

std::string adapterDetailsText(const AdapterDetails& details) {
    const AdapterInfo& info = details.records.info;
    const AddressFacts& addresses = details.addresses;
    LabelValueText rows;
    rows.add("MAC Address", ethernetAddressText(info.MacAddress));
    if (addresses.ipAddress) rows.add("IP Address", ipv4Text(*addresses.ipAddress));
    if (addresses.connectionName) rows.add("Connection Name", *addresses.connectionName);
    if (addresses.vlanId) rows.add("VLAN ID", std::to_string(*addresses.vlanId));
    if (!details.link.up || details.link.speedMbps) rows.add("Link Status", linkText(details.link));
    if (details.link.duplex)
        rows.add("Duplex Mode", *details.link.duplex == kFullDuplexState ? "Full Duplex" : "Half Duplex");
    const bool family = showsPciIdentity(info.ChipClass);
    if (family) addPciRows(rows, info);
    std::string text = adapterHeading(details.adapter) + "\n" + rows.text();
    LabelValueText driverRows;
    if (family) addDriverRows(driverRows, driverFacts(*details.records.driver));
    if (!driverRows.empty()) text += "Driver\n" + driverRows.text();
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
        rows.add("Throughput(Send)", rateText(rates->sendBytesPerSecond))
            .add("Throughput(Receive)", rateText(rates->receiveBytesPerSecond))
            .add("Throughput(Total)", formatThroughput(rates->totalBytesPerSecond()));
    }
    for (size_t i = 0; i < counterEntries().size(); ++i)
        rows.add(counterEntries()[i].label, counterText(sample.counters[i]));
    rows.add("Bytes Sent", counterText(sample.bytesSent)).add("Bytes Received", counterText(sample.bytesReceived));
    return rows.text();
}

std::string hexBytesText(std::span<const uint8_t> bytes) {
    constexpr size_t kPerRow = 16;
    std::string out;
    for (size_t at = 0; at < bytes.size(); at += kPerRow) {
        std::string line = formatted("%04zx ", at);
        for (size_t i = at; i < bytes.size() && i < at + kPerRow; ++i) line += formatted(" %02x", bytes[i]);
        out += line + "\n";
    }
    return out;
}

std::string hexWordsText(std::span<const uint16_t> words) {
    constexpr size_t kPerRow = 8;
    std::string out;
    for (size_t at = 0; at < words.size(); at += kPerRow) {
        std::string line = formatted("%02zx ", at);
        for (size_t i = at; i < words.size() && i < at + kPerRow; ++i) line += formatted(" %04x", words[i]);
        out += line + "\n";
    }
    return out;
}

}  // namespace kv::jobs
