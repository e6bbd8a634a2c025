// What the General and Driver pages show of an adapter, read through the library: the adapter
// list, the records read at a selection, the live queries of the General page and the driver
// record's texts in the Driver page's order. Texts are UTF-8, made from the library's 8-bit text.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kelvalib.h"

namespace kv::jobs {

// One entry of the library's adapter list.
struct ListedAdapter {
    int index = 0;
    std::string description;  // without the line feed the list ends it with
    int parentIndex = -1;     // a VLAN's physical adapter; -1 for a top-level entry
};

// API_GetAdapterList_A, which also makes adapter 0 the current one; nothing when the library
// cannot list (the protocol driver's enumeration ended abnormally).
std::optional<std::vector<ListedAdapter>> listAdapters();

// The records the main window reads when the user selects an adapter.
struct AdapterRecords {
    AdapterInfo info{};
    std::unique_ptr<DriverInfo_A> driver;  // all zeros when the library could not read it
    int driverVersion = -1;                // the second number of the driver's version, or -1
    uint32_t pageSet = 0;                  // the jobs the adapter offers (kv/jobs/capabilities.h)
};
// Selects the adapter (API_SetCurrAdaptIdx) and reads its records; nothing when the selection or
// the Ethernet address query fails.
std::optional<AdapterRecords> selectAndRead(int index);

// The General page's one link test: API_IsLink, and with a link the speed and the duplex state,
// each kept only when its query answers.
struct LinkFacts {
    bool up = false;
    std::optional<uint32_t> speedMbps;
    std::optional<int> duplex;  // 0 undetermined, 1 half, 2 full
};
LinkFacts readLink();
inline constexpr int kFullDuplexState = 2;

// The General page's live queries before the link: each empty when its query fails. The IP address
// is not asked for the adapter kinds that do not show one.
struct AddressFacts {
    std::optional<std::array<uint8_t, 4>> ipAddress;
    std::optional<std::string> connectionName;
    std::optional<uint16_t> vlanId;  // the low 16 bits of what the library reports
};
AddressFacts readAddresses(uint32_t chipClass);
// "%d.%d.%d.%d".
std::string ipv4Text(const std::array<uint8_t, 4>& address);

// The current adapter's connection name (API_GetConnName_A); none when it cannot be read.
std::optional<std::string> readConnectionName();

// Whether the General page lists the PCI identity and the Driver page the driver: the family's
// chip kinds.
bool showsPciIdentity(uint32_t chipClass);

// The Driver page's rows: the texts that are not empty, provider before version, then every
// counted program file (empty ones too), at most the record's slots.
struct DriverFacts {
    struct Field {
        int labelId;  // string-table id: "Description", "Provider", "Version", "Date", "INF Path"
        std::string text;
    };
    std::vector<Field> fields;
    std::vector<std::string> binaries;
};
DriverFacts driverFacts(const DriverInfo_A& record);

// One row of an information page: the string-table id of its label (0: no label) and its value.
struct LabelledValue {
    int labelId;
    std::string value;
};
// The General page's rows, in its order: the Ethernet address, the live facts that answered, the
// link rows from the one link test, and the PCI identity and resources for the family's chips.
std::vector<LabelledValue> generalRows(const AdapterInfo& info, const AddressFacts& addresses, const LinkFacts& link);
// The Driver page's rows for the family's chips (none for the others); only the first program
// file is labelled, so the paths read as one block.
std::vector<LabelledValue> driverRows(const AdapterInfo& info, const DriverInfo_A& record);
// The string-table id of a link speed's text: "10 Mbps", "100 Mbps", "1.0 Gbps", else "Unknow".
int linkSpeedTextId(uint32_t mbps);

}  // namespace kv::jobs
