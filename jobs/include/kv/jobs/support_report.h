// The support report: everything the read-only jobs show of one adapter or of all, in one
// document a user attaches to a support case, with the suite's version, the Windows version and
// the protocol driver's state. The command line's `report` and the utility's "Save Report..."
// write the same text.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kv/jobs/adapter_text.h"
#include "kv/jobs/advanced_settings.h"
#include "kv/jobs/green_feature.h"
#include "kv/jobs/hardware_dump.h"
#include "kv/jobs/statistics.h"
#include "kv/jobs/system_facts.h"
#include "kv/jobs/vlans.h"

namespace kv::jobs {

struct AdapterReport {
    ListedAdapter adapter;
    std::optional<AdapterDetails> details;  // none when the adapter does not answer its selection
    std::optional<CounterSample> counters;
    std::optional<GreenStatus> green;                // the chips with the PHY's cable functions
    std::optional<RegisterWindow> registers;         // the family's chips
    std::optional<EepromRead> eeprom;                // the family's chips
    std::optional<std::vector<CDrvParam>> settings;  // the driver's advanced settings, the family's chips
    std::optional<VlanListing> vlans;                // a family adapter whose driver carries VLANs
};

struct SupportReport {
    std::string suite;
    std::optional<platform::OsVersion> windows;
    bool wow64 = false;
    ProtocolDriverState protocolDriver;
    std::vector<ListedAdapter> adapters;  // every adapter the library lists
    std::vector<AdapterReport> reported;  // the adapters the report covers
};

// Gathers the report over a library whose channel opened (`openError` 0) or did not: then only the
// computer's facts. With an adapter index only that adapter is covered (and left the current
// one); otherwise every listed adapter. `stop`, when given, is asked between adapters and between
// EEPROM words and ends the gathering early.
SupportReport gatherSupportReport(uint32_t openError, std::optional<int> onlyAdapter,
                                  const std::function<bool()>& stop = {});

std::string supportReportText(const SupportReport& report);

}  // namespace kv::jobs
