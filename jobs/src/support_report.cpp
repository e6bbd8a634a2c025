#include "kv/jobs/support_report.h"

#include "kv/jobs/capabilities.h"
#include "kv/jobs/text_layout.h"

namespace kv::jobs {

namespace {

bool stopped(const std::function<bool()>& stop) { return stop && stop(); }

AdapterReport reportAdapter(const ListedAdapter& adapter, std::span<const ListedAdapter> adapters,
                            const std::function<bool()>& stop) {
    AdapterReport report{adapter, readAdapterDetails(adapter), {}, {}, {}, {}, {}, {}};
    if (!report.details) return report;
    const AdapterRecords& records = report.details->records;
    report.counters = readCounters(records.driverVersion);
    // A VLAN's hardware is its physical adapter's, reported there.
    if (adapter.parentIndex >= 0) return report;
    if (offers(records.pageSet, pageset::kCableChips)) report.green = readGreenStatus();
    if (!offers(records.pageSet, pageset::kFamilyChips)) return report;
    report.settings = loadDriverSettings();
    if (records.driverVersion >= kFirstVlanDriverVersion) {
        std::vector<int32_t> parents;
        for (const ListedAdapter& listed : adapters) parents.push_back(listed.parentIndex);
        report.vlans = listVlans(parents, adapter.index);
    }
    report.registers = readRegisterWindow();
    if (const auto config = readEepromConfig()) report.eeprom = readEepromWords(*config, stop);
    return report;
}

std::string eepromText(const EepromRead& read) {
    switch (read.outcome) {
        case EepromRead::Outcome::PortUnreadable:
            return "  the EEPROM port cannot be read\n";
        case EepromRead::Outcome::PinWriteRefused:
            return "  the driver refused a write to the EEPROM port\n";
        case EepromRead::Outcome::Stopped:
        case EepromRead::Outcome::Read:
            break;
    }
    std::string text = hexWordsText(read.words);
    if (read.outcome == EepromRead::Outcome::Stopped)
        text += "  (stopped after " + std::to_string(read.words.size()) + " words)\n";
    if (!read.pinsRestored) text += "  the EEPROM port's pins could not be put back\n";
    return text;
}

std::string adapterSection(const AdapterReport& report, std::span<const ListedAdapter> adapters) {
    if (!report.details) return adapterHeading(report.adapter) + "\n  does not answer: it cannot be selected\n";
    std::string text = adapterDetailsText(*report.details);
    if (report.counters) text += "Statistics\n" + countersText(*report.counters, std::nullopt);
    if (report.green) text += "Green Feature\n" + greenFeatureText(*report.green);
    if (report.settings) text += "Advanced settings\n" + driverSettingsText(*report.settings);
    if (report.vlans) text += "VLANs\n" + vlanListText(*report.vlans, adapters);
    if (report.eeprom) text += "EEPROM words\n" + eepromText(*report.eeprom);
    if (report.registers) text += "Registers\n" + hexBytesText(*report.registers);
    return text;
}

}  // namespace

SupportReport gatherSupportReport(uint32_t openError, std::optional<int> onlyAdapter,
                                  const std::function<bool()>& stop) {
    SupportReport report;
    report.suite = std::string(suiteVersion());
    report.windows = windowsVersion();
    report.wow64 = runsUnderWow64();
    report.protocolDriver = protocolDriverState(report.windows, openError);
    if (openError != 0) return report;
    report.adapters = listAdapters().value_or(std::vector<ListedAdapter>{});
    for (const ListedAdapter& adapter : report.adapters) {
        if (onlyAdapter && adapter.index != *onlyAdapter) continue;
        if (stopped(stop)) break;
        report.reported.push_back(reportAdapter(adapter, report.adapters, stop));
    }
    return report;
}

std::string supportReportText(const SupportReport& report) {
    LabelValueText facts(0);
    facts.add("Suite", "Kelvadiag " + report.suite)
        .add("Windows",
             windowsVersionText(report.windows) + (report.wow64 ? " (32-bit program on 64-bit Windows)" : ""))
        .add("Protocol driver", protocolDriverText(report.protocolDriver))
        .add("Adapters", std::to_string(report.adapters.size()));
    std::string text = "Kelvadiag support report\n\n" + facts.text();
    if (!report.adapters.empty()) {
        std::vector<std::vector<std::string>> rows = {{"#", "Parent", "Description"}};
        for (const auto& adapter : report.adapters)
            rows.push_back({std::to_string(adapter.index),
                            adapter.parentIndex >= 0 ? std::to_string(adapter.parentIndex) : "-", adapter.description});
        text += "\n" + tableText(rows);
    }
    for (const AdapterReport& adapter : report.reported) text += "\n" + adapterSection(adapter, report.adapters);
    return text;
}

}  // namespace kv::jobs
