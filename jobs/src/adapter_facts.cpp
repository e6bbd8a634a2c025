#include "kv/jobs/adapter_facts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "kv/jobs/capabilities.h"
#include "kv/jobs/chip_kind.h"
#include "kv/jobs/driver_version.h"
#include "kv/jobs/ethernet_address.h"
#include "kv/jobs/library_text.h"
#include "kv/jobs/string_table.h"
#include "kv/jobs/text_layout.h"
#include "kv/text.h"

namespace kv::jobs {

std::string ipv4Text(const std::array<uint8_t, 4>& address) {
    return formatted("%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
}

std::optional<std::vector<ListedAdapter>> listAdapters() {
    const auto list = std::make_unique<AdapterList_A>();
    std::memset(list.get(), 0, sizeof(AdapterList_A));
    if (API_GetAdapterList_A(list.get()) != 1) return std::nullopt;
    std::vector<ListedAdapter> adapters;
    const uint32_t count = std::min<uint32_t>(list->Count, KV_MAX_ADAPTERS);
    for (uint32_t i = 0; i < count; ++i) {
        std::string description = fieldUtf8(list->Description[i], KV_DESCRIPTION_CHARS);
        while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
            description.pop_back();
        adapters.push_back({static_cast<int>(i), std::move(description), list->ParentIndex[i]});
    }
    return adapters;
}

std::optional<AdapterRecords> selectAndRead(int index) {
    if (API_SetCurrAdaptIdx(index) != 1) return std::nullopt;
    AdapterRecords records;
    if (API_GetAdapterInfo(&records.info) != 1) return std::nullopt;
    // The library writes only the fields it can read: a record cleared first holds no other
    // adapter's driver.
    records.driver = std::make_unique<DriverInfo_A>();
    std::memset(records.driver.get(), 0, sizeof(DriverInfo_A));
    const uint8_t flags = chipKindFlags(records.info);
    if (API_GetDriverInfo_A(records.driver.get()) == 1)
        records.driverVersion = driverVersionNumber(flags, fieldText(records.driver->DriverVersion, KV_TEXT_CHARS));
    else
        std::memset(records.driver.get(), 0, sizeof(DriverInfo_A));
    records.pageSet = currentPageSet(records.info);
    return records;
}

LinkFacts readLink() {
    LinkFacts link;
    link.up = API_IsLink() != 0;
    if (!link.up) return link;
    uint32_t mbps = 0;
    if (API_GetLinkSpeed(&mbps) == 1) link.speedMbps = mbps;
    int duplex = 0;
    if (API_GetDuplexMode(&duplex) == 1) link.duplex = duplex;
    return link;
}

AddressFacts readAddresses(uint32_t chipClass) {
    AddressFacts facts;
    std::array<uint8_t, 4> ip{};
    if ((chipClass & chipkind::kNoIpAddress) == 0 && API_GetIPAddress(ip.data()) == 1) facts.ipAddress = ip;
    facts.connectionName = readConnectionName();
    uint32_t vlanId = 0;
    if (API_GetVID(&vlanId) == 1) facts.vlanId = static_cast<uint16_t>(vlanId & 0xFFFFu);
    return facts;
}

std::optional<std::string> readConnectionName() {
    std::array<char, KV_TEXT_CHARS> name{};
    if (API_GetConnName_A(name.data(), static_cast<int>(name.size())) != 1) return std::nullopt;
    return fieldUtf8(name.data(), name.size());
}

bool showsPciIdentity(uint32_t chipClass) { return (chipClass & chipkind::kPciKinds) != 0; }

int linkSpeedTextId(uint32_t mbps) {
    using namespace ids::general;
    switch (mbps) {
        case 10:
            return kSpeed10;
        case 100:
            return kSpeed100;
        case 1000:
            return kSpeed1000;
        default:
            return kSpeedUnknown;
    }
}

std::vector<LabelledValue> generalRows(const AdapterInfo& info, const AddressFacts& addresses, const LinkFacts& link) {
    using namespace ids::general;
    std::vector<LabelledValue> rows = {{kMacAddress, ethernetAddressText(info.MacAddress)}};
    if (addresses.ipAddress) rows.push_back({kIpAddress, ipv4Text(*addresses.ipAddress)});
    if (addresses.connectionName) rows.push_back({kConnectionName, *addresses.connectionName});
    if (addresses.vlanId) rows.push_back({kVlanId, std::to_string(*addresses.vlanId)});
    if (!link.up) rows.push_back({kLinkStatus, resourceText(kDisconnected)});
    if (link.speedMbps) rows.push_back({kLinkStatus, resourceText(linkSpeedTextId(*link.speedMbps))});
    if (link.duplex)
        rows.push_back({kDuplexMode, resourceText(*link.duplex == kFullDuplexState ? kFullDuplex : kHalfDuplex)});
    if (!showsPciIdentity(info.ChipClass)) return rows;
    rows.insert(rows.end(), {
                                {kDeviceLocation, formatted("Bus: %04X, Slot: %04X", info.Bus, info.Slot)},
                                {kVendorId, formatted("%04X", info.VendorId)},
                                {kDeviceId, formatted("%04X", info.DeviceId)},
                                {kSubVendorId, formatted("%04X", info.SubVendorId)},
                                {kSubSystemId, formatted("%04X", info.SubSystemId)},
                                {kRevisionId, formatted("%02X", info.RevisionId)},
                                // All 32 bits, at least four digits: an I/O base above 0xFFFF keeps
                                // its fifth digit.
                                {kIoAddress, formatted("%04X", info.IoAddress)},
                                {kMemoryAddress, formatted("%08X", info.MemoryAddress)},
                                {kInterruptNumber, formatted("%d", static_cast<int>(info.InterruptNumber))},
                            });
    return rows;
}

std::vector<LabelledValue> driverRows(const AdapterInfo& info, const DriverInfo_A& record) {
    std::vector<LabelledValue> rows;
    if (!showsPciIdentity(info.ChipClass)) return rows;
    const DriverFacts facts = driverFacts(record);
    for (const auto& field : facts.fields) rows.push_back({field.labelId, field.text});
    for (size_t i = 0; i < facts.binaries.size(); ++i)
        rows.push_back({i == 0 ? ids::driver::kBinaryPath : 0, facts.binaries[i]});
    return rows;
}

DriverFacts driverFacts(const DriverInfo_A& record) {
    DriverFacts facts;
    using namespace ids::driver;
    const struct {
        int labelId;
        const char* text;
    } texts[] = {
        {kDescription, record.DriverDesc}, {kProvider, record.ProviderName}, {kVersion, record.DriverVersion},
        {kDate, record.DriverDate},        {kInfPath, record.InfPath},
    };
    for (const auto& t : texts)
        if (t.text[0] != '\0') facts.fields.push_back({t.labelId, fieldUtf8(t.text, KV_TEXT_CHARS)});
    const uint32_t usedSlots = std::min<uint32_t>(record.BinaryCount, KV_BINARY_SLOTS);
    for (uint32_t i = 0; i < usedSlots; ++i) facts.binaries.push_back(fieldUtf8(record.BinaryName[i], KV_TEXT_CHARS));
    return facts;
}

}  // namespace kv::jobs
