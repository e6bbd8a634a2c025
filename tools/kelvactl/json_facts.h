// The jobs' facts as JSON, every key documented in docs/CLI.md: numbers as numbers, texts as the
// text output shows them, null for what is unknown or not shown for the adapter's kind.
#pragma once

#include <optional>
#include <type_traits>

#include "kv/jobs/adapter_text.h"
#include "kv/jobs/advanced_settings.h"
#include "kv/jobs/green_feature.h"
#include "kv/jobs/hardware_dump.h"
#include "kv/jobs/support_report.h"
#include "kv/jobs/vlans.h"
#include "kv/json_value.h"

namespace kv::kelvactl {

// {"index", "description", "parent"}: which adapter a document is about.
JsonValue adapterJson(const jobs::ListedAdapter& adapter);
// A value or null.
template <typename T>
JsonValue orNull(const std::optional<T>& value) {
    if (!value) return JsonValue();
    if constexpr (std::is_floating_point_v<T>)
        return JsonValue::number(*value);
    else
        return JsonValue(*value);
}

JsonValue detailsJson(const jobs::AdapterDetails& details);
JsonValue linkJson(const jobs::LinkFacts& link);
JsonValue countersJson(const jobs::CounterSample& sample);
JsonValue ratesJson(const jobs::SampleRates& rates);
JsonValue greenJson(const jobs::GreenStatus& status);
JsonValue registersJson(const jobs::RegisterWindow& window);
JsonValue eepromJson(const jobs::EepromRead& read);
JsonValue settingJson(const jobs::CDrvParam& setting);
JsonValue settingsJson(std::span<const jobs::CDrvParam> settings);
JsonValue vlansJson(const jobs::VlanListing& listing, std::span<const jobs::ListedAdapter> adapters);
JsonValue reportJson(const jobs::SupportReport& report);

}  // namespace kv::kelvactl
