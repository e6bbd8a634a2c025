#include "pages/green_feature_page.h"

#include <array>

#include "kelvalib.h"
#include "kv/platform/system.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace kv::diag {

namespace ctl = res::ctl;

namespace {

// String-table ids of the status and stage texts.
enum : int {
    kDisable = 97,
    kUnlink = 98,
    kNormal = 99,
    kEnable = 100,
    kStage1 = 101,
    kStage2 = 102,
    kStage3 = 103,
    kStage4 = 104,
};

struct StatusRow {
    int statusTextId;
    int stageTextId;
    std::string_view gigabitPower;
    std::string_view otherPower;
};

// Statuses -1 to 4, in order.
constexpr int kFirstStatus = -1;
constexpr std::array<StatusRow, 6> kStatusTable = {{
    {kDisable, kUnlink, "", ""},
    {kDisable, kNormal, "644.7mW", "354.9mW"},
    {kEnable, kStage1, "573.3mW", "333.6mW"},
    {kEnable, kStage2, "587.7mW", "336.9mW"},
    {kEnable, kStage3, "618.9mW", "340.2mW"},
    {kEnable, kStage4, "644.7mW", "346.8mW"},
}};

constexpr int kNoLink = -1;
constexpr uint32_t kGigabitMbps = 1000;

}  // namespace

std::optional<GreenFeatureTexts> greenFeatureTexts(int status, bool gigabit) {
    if (status < kFirstStatus || status >= kFirstStatus + static_cast<int>(kStatusTable.size())) return std::nullopt;
    const StatusRow& row = kStatusTable[static_cast<size_t>(status - kFirstStatus)];
    return GreenFeatureTexts{row.statusTextId, row.stageTextId, gigabit ? row.gigabitPower : row.otherPower};
}

GreenFeature::GreenFeature() : ui::PropertyPage(greenFeatureDialog()) {}

bool GreenFeature::onInitDialog() {
    refresh();
    return true;
}

void GreenFeature::onCommand(int id, int notification) {
    if (notification != ui::notify::kClicked) return;
    switch (id) {
        case ctl::kGreenEnable:
            EnableGreenFeature();
            platform::clock().sleep(kSettleMs);
            refresh();
            break;
        case ctl::kGreenDisable:
            DisableGreenFeature();
            refresh();
            break;
        case ctl::kGreenRefresh:
            refresh();
            break;
        default:
            break;
    }
}

void GreenFeature::refresh() {
    const int status = GetGFStatus();
    uint32_t mbps = 0;
    const bool gigabit = status != kNoLink && API_GetLinkSpeed(&mbps) == 1 && mbps == kGigabitMbps;
    const auto texts = greenFeatureTexts(status, gigabit);
    if (!texts) return;
    setControlText(ctl::kGreenStatus, loadString(texts->statusTextId));
    setControlText(ctl::kGreenStage, loadString(texts->stageTextId));
    setControlText(ctl::kGreenPower,
                   QString::fromLatin1(texts->power.data(), static_cast<qsizetype>(texts->power.size())));
}

}  // namespace kv::diag
