#include "json_facts.h"

#include <algorithm>

#include "kv/jobs/chip_kind.h"
#include "kv/jobs/ethernet_address.h"
#include "kv/jobs/string_table.h"
#include "kv/text.h"

namespace kv::kelvactl {

namespace {

const char* duplexName(int state) {
    switch (state) {
        case 1:
            return "half";
        case jobs::kFullDuplexState:
            return "full";
        default:
            return "undetermined";
    }
}

JsonValue pciJson(const AdapterInfo& info) {
    return JsonValue::object()
        .set("bus", info.Bus)
        .set("slot", info.Slot)
        .set("vendor_id", uint32_t{info.VendorId})
        .set("device_id", uint32_t{info.DeviceId})
        .set("subvendor_id", uint32_t{info.SubVendorId})
        .set("subsystem_id", uint32_t{info.SubSystemId})
        .set("revision_id", uint32_t{info.RevisionId})
        .set("io_address", info.IoAddress)
        .set("memory_address", info.MemoryAddress)
        .set("interrupt", info.InterruptNumber);
}

JsonValue driverJson(const jobs::AdapterRecords& records) {
    const jobs::DriverFacts facts = jobs::driverFacts(*records.driver);
    // The keys of the labels 1 to 5 of the Driver page, in the page's order.
    using namespace jobs::ids::driver;
    const std::pair<int, const char*> keys[] = {{kDescription, "description"},
                                                {kProvider, "provider"},
                                                {kVersion, "version"},
                                                {kDate, "date"},
                                                {kInfPath, "inf_path"}};
    JsonValue driver = JsonValue::object();
    for (const auto& [labelId, key] : keys) {
        const auto field = std::find_if(facts.fields.begin(), facts.fields.end(),
                                        [labelId = labelId](const auto& f) { return f.labelId == labelId; });
        driver.set(key, field != facts.fields.end() ? JsonValue(field->text) : JsonValue());
    }
    JsonValue files = JsonValue::array();
    for (const auto& file : facts.binaries) files.push(file);
    driver.set("files", std::move(files));
    driver.set("version_number", records.driverVersion >= 0 ? JsonValue(records.driverVersion) : JsonValue());
    return driver;
}

JsonValue numbers(std::span<const uint8_t> bytes) {
    JsonValue list = JsonValue::array();
    for (uint8_t b : bytes) list.push(uint32_t{b});
    return list;
}

const char* eepromOutcome(jobs::EepromRead::Outcome outcome) {
    switch (outcome) {
        case jobs::EepromRead::Outcome::Read:
            return "read";
        case jobs::EepromRead::Outcome::Stopped:
            return "stopped";
        case jobs::EepromRead::Outcome::PortUnreadable:
            return "port_unreadable";
        case jobs::EepromRead::Outcome::PinWriteRefused:
            return "pin_write_refused";
    }
    return "";
}

}  // namespace

JsonValue adapterJson(const jobs::ListedAdapter& adapter) {
    return JsonValue::object()
        .set("index", adapter.index)
        .set("description", adapter.description)
        .set("parent", adapter.parentIndex >= 0 ? JsonValue(adapter.parentIndex) : JsonValue());
}

JsonValue linkJson(const jobs::LinkFacts& link) {
    JsonValue json = JsonValue::object();
    json.set("up", link.up)
        .set("speed_mbps", orNull(link.speedMbps))
        .set("text", link.up && !link.speedMbps ? JsonValue() : JsonValue(jobs::linkText(link)))
        .set("duplex", link.duplex ? JsonValue(duplexName(*link.duplex)) : JsonValue());
    return json;
}

JsonValue detailsJson(const jobs::AdapterDetails& details) {
    const AdapterInfo& info = details.records.info;
    const jobs::AddressFacts& addresses = details.addresses;
    const bool family = jobs::showsPciIdentity(info.ChipClass);
    const std::string chip = jobs::chipName(info.DeviceId);
    JsonValue json = JsonValue::object();
    json.set("adapter", adapterJson(details.adapter))
        .set("mac", jobs::ethernetAddressText(info.MacAddress))
        .set("ip", addresses.ipAddress ? JsonValue(jobs::ipv4Text(*addresses.ipAddress)) : JsonValue())
        .set("connection_name", orNull(addresses.connectionName))
        .set("vlan_id", addresses.vlanId ? JsonValue(uint32_t{*addresses.vlanId}) : JsonValue())
        .set("link", linkJson(details.link))
        .set("chip", family && !chip.empty() ? JsonValue(chip) : JsonValue())
        .set("chip_class", info.ChipClass)
        .set("pci", family ? pciJson(info) : JsonValue())
        .set("driver", family ? driverJson(details.records) : JsonValue());
    return json;
}

JsonValue countersJson(const jobs::CounterSample& sample) {
    static constexpr const char* kKeys[] = {"packets_sent", "packets_received", "send_errors", "receive_errors"};
    JsonValue json = JsonValue::object();
    for (size_t i = 0; i < sample.counters.size(); ++i) json.set(kKeys[i], orNull(sample.counters[i]));
    json.set("bytes_sent", orNull(sample.bytesSent)).set("bytes_received", orNull(sample.bytesReceived));
    return json;
}

JsonValue ratesJson(const jobs::SampleRates& rates) {
    const auto bits = [](const std::optional<double>& bytes) {
        return bytes ? JsonValue::number(*bytes * 8.0) : JsonValue();
    };
    return JsonValue::object()
        .set("send_bps", bits(rates.sendBytesPerSecond))
        .set("receive_bps", bits(rates.receiveBytesPerSecond))
        .set("total_bps", JsonValue::number(rates.totalBytesPerSecond() * 8.0));
}

JsonValue greenJson(const jobs::GreenStatus& status) {
    JsonValue json = JsonValue::object();
    const auto row = jobs::greenFeatureRow(status.status, status.gigabit);
    json.set("status_code", status.status)
        .set("link", status.status != jobs::kGreenNoLink)
        .set("gigabit", status.gigabit)
        .set("enabled", row ? JsonValue(row->enabled) : JsonValue())
        .set("status_text", row ? JsonValue(jobs::resourceText(row->statusTextId)) : JsonValue())
        .set("stage", row ? JsonValue(row->stage) : JsonValue())
        .set("stage_text", row ? JsonValue(jobs::resourceText(row->stageTextId)) : JsonValue())
        .set("power_mw", row ? orNull(jobs::powerMilliwatts(row->power)) : JsonValue());
    return json;
}

JsonValue registersJson(const jobs::RegisterWindow& window) {
    return JsonValue::object().set("offset", 0).set("bytes", numbers(window));
}

JsonValue eepromJson(const jobs::EepromRead& read) {
    JsonValue words = JsonValue::array();
    for (uint16_t word : read.words) words.push(uint32_t{word});
    return JsonValue::object()
        .set("outcome", eepromOutcome(read.outcome))
        .set("words", std::move(words))
        .set("pins_restored", read.pinsRestored);
}

JsonValue settingJson(const jobs::CDrvParam& setting) {
    const auto utf8 = [](const std::string& ansi) { return utf16ToUtf8(ansiToUtf16(ansi)); };
    const bool present = !(setting.Optional && setting.NotPresent);
    JsonValue value;
    if (present && setting.Kind != jobs::CDrvParam::kOther) {
        const std::string text = setting.valueText();
        if (!text.empty() || setting.Kind == jobs::CDrvParam::kText) value = utf8(text);
    }
    JsonValue choices = JsonValue::array();
    for (size_t i = 0; i < setting.EnumValues.size() && i < setting.EnumDescs.size(); ++i)
        choices.push(
            JsonValue::object().set("value", utf8(setting.EnumValues[i])).set("text", utf8(setting.EnumDescs[i])));
    const bool number = setting.Kind == jobs::CDrvParam::kNumber;
    return JsonValue::object()
        .set("name", utf8(setting.Name))
        .set("description", utf8(setting.Desc))
        .set("kind", jobs::settingKindName(setting.Kind))
        .set("optional", setting.Optional != 0)
        .set("present", present)
        .set("value", std::move(value))
        .set("value_text", orNull(jobs::settingValueText(setting)))
        .set("choices", std::move(choices))
        .set("min", number ? JsonValue(setting.Min) : JsonValue())
        .set("max", number ? JsonValue(setting.Max) : JsonValue());
}

JsonValue settingsJson(std::span<const jobs::CDrvParam> settings) {
    JsonValue list = JsonValue::array();
    for (const jobs::CDrvParam& setting : settings) list.push(settingJson(setting));
    return list;
}

JsonValue vlansJson(const jobs::VlanListing& listing, std::span<const jobs::ListedAdapter> adapters) {
    JsonValue list = JsonValue::array();
    for (const auto& vlan : listing.vlans) {
        const size_t index = static_cast<size_t>(vlan.adapterIndex);
        list.push(JsonValue::object()
                      .set("vlan_id", uint32_t{vlan.vlanId})
                      .set("adapter_index", vlan.adapterIndex)
                      .set("connection_name", orNull(vlan.connectionName))
                      .set("description", index < adapters.size() ? adapters[index].description : std::string()));
    }
    return list;
}

JsonValue reportJson(const jobs::SupportReport& report) {
    JsonValue windows = JsonValue();
    if (report.windows)
        windows = JsonValue::object()
                      .set("major", report.windows->majorVersion)
                      .set("minor", report.windows->minorVersion)
                      .set("build", report.windows->buildNumber)
                      .set("service_pack", utf16ToUtf8(report.windows->servicePack))
                      .set("text", jobs::windowsVersionText(report.windows));
    const jobs::ProtocolDriverState& driver = report.protocolDriver;
    JsonValue adapters = JsonValue::array();
    for (const auto& adapter : report.adapters) adapters.push(adapterJson(adapter));
    JsonValue reported = JsonValue::array();
    for (const auto& adapter : report.reported) {
        JsonValue entry = JsonValue::object();
        entry.set("adapter", adapterJson(adapter.adapter))
            .set("answers", adapter.details.has_value())
            .set("info", adapter.details ? detailsJson(*adapter.details) : JsonValue())
            .set("statistics", adapter.counters ? countersJson(*adapter.counters) : JsonValue())
            .set("green", adapter.green ? greenJson(*adapter.green) : JsonValue())
            .set("advanced_settings", adapter.settings ? settingsJson(*adapter.settings) : JsonValue())
            .set("vlans", adapter.vlans ? vlansJson(*adapter.vlans, report.adapters) : JsonValue())
            .set("eeprom", adapter.eeprom ? eepromJson(*adapter.eeprom) : JsonValue())
            .set("registers", adapter.registers ? registersJson(*adapter.registers) : JsonValue());
        reported.push(std::move(entry));
    }
    return JsonValue::object()
        .set("suite_version", report.suite)
        .set("windows", std::move(windows))
        .set("wow64", report.wow64)
        .set("protocol_driver", JsonValue::object()
                                    .set("service", utf16ToUtf8(driver.service))
                                    .set("installed", driver.installed)
                                    .set("running", driver.running)
                                    .set("open_error", driver.openError)
                                    .set("text", jobs::protocolDriverText(driver)))
        .set("adapters", std::move(adapters))
        .set("reported", std::move(reported));
}

}  // namespace kv::kelvactl
