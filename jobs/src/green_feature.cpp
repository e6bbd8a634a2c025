#include "kv/jobs/green_feature.h"

#include <array>
#include <charconv>
#include <cstdint>

#include "kelvalib.h"
#include "kv/jobs/string_table.h"
#include "kv/jobs/text_layout.h"
#include "kv/platform/system.h"

namespace kv::jobs {

namespace {

constexpr uint32_t kGigabitMbps = 1000;

struct StatusRow {
    bool enabled;
    int stage;
    std::string_view gigabitPower;
    std::string_view otherPower;
};

// Statuses -1 to 4, in order.
constexpr int kFirstStatus = kGreenNoLink;
constexpr std::array<StatusRow, 6> kStatusTable = {{
    {false, -1, "", ""},
    {false, 0, "644.7mW", "354.9mW"},
    {true, 1, "573.3mW", "333.6mW"},
    {true, 2, "587.7mW", "336.9mW"},
    {true, 3, "618.9mW", "340.2mW"},
    {true, 4, "644.7mW", "346.8mW"},
}};

}  // namespace

std::optional<GreenFeatureRow> greenFeatureRow(int status, bool gigabit) {
    if (status < kFirstStatus || status >= kFirstStatus + static_cast<int>(kStatusTable.size())) return std::nullopt;
    const StatusRow& row = kStatusTable[static_cast<size_t>(status - kFirstStatus)];
    using namespace ids::green;
    const int stageTextId = row.stage < 0 ? kUnlink : row.stage == 0 ? kNormal : kStage1 + row.stage - 1;
    return GreenFeatureRow{row.enabled, row.stage, row.enabled ? kEnable : kDisable, stageTextId,
                           gigabit ? row.gigabitPower : row.otherPower};
}

std::optional<double> powerMilliwatts(std::string_view power) {
    double milliwatts = 0;
    const auto [end, ec] = std::from_chars(power.data(), power.data() + power.size(), milliwatts);
    if (ec != std::errc() || end == power.data()) return std::nullopt;
    return milliwatts;
}

std::string greenFeatureText(const GreenStatus& status) {
    LabelValueText rows;
    const auto row = greenFeatureRow(status.status, status.gigabit);
    if (!row) return rows.add("Green Feature status", "unknown (" + std::to_string(status.status) + ")").text();
    return rows.add("Green Feature status", resourceText(row->statusTextId))
        .add("Current Stage", resourceText(row->stageTextId))
        .add("Power", row->power)
        .text();
}

GreenStatus readGreenStatus() {
    GreenStatus out;
    out.status = GetGFStatus();
    uint32_t mbps = 0;
    out.gigabit = out.status != kGreenNoLink && API_GetLinkSpeed(&mbps) == 1 && mbps == kGigabitMbps;
    return out;
}

bool switchGreenFeature(bool on) {
    if (!on) return DisableGreenFeature() != 0;
    const bool switched = EnableGreenFeature() != 0;
    platform::clock().sleep(kGreenSettleMs);
    return switched;
}

}  // namespace kv::jobs
