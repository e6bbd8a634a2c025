// The green feature as its page shows and switches it: the library's status, the texts and power
// that go with it at the link speed, and the switch with the PHY's settling time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv::jobs {

inline constexpr int kGreenNoLink = -1;

// What the page shows for one status: whether the feature is on, the stage (-1 "Unlink", 0
// "Normal", 1 to 4 the cable-length stages) and the controller's power at the link speed
// ("644.7mW"; empty without a link).
struct GreenFeatureRow {
    bool enabled;
    int stage;
    int statusTextId;  // string-table ids: "Enable" / "Disable"
    int stageTextId;   // "Unlink", "Normal", "Stage 1 (0-30m)" ... "Stage 4 ( >100m)"
    std::string_view power;
};
// None for a status outside -1 to 4. The gigabit column applies at 1000 Mbps only.
std::optional<GreenFeatureRow> greenFeatureRow(int status, bool gigabit);

// The number of milliwatts in a power text ("644.7mW" gives 644.7); none for an empty text.
std::optional<double> powerMilliwatts(std::string_view power);

// GetGFStatus, and unless there is no link whether the link runs at 1000 Mbps (a failed speed
// query counts as another speed).
struct GreenStatus {
    int status = kGreenNoLink;
    bool gigabit = false;
};
GreenStatus readGreenStatus();
// The page's three fields as label and value lines ("Green Feature status", "Current Stage",
// "Power"); a status outside -1 to 4 as the number itself.
std::string greenFeatureText(const GreenStatus& status);

// The PHY settles this long after the feature is switched on, before its status is read.
inline constexpr uint32_t kGreenSettleMs = 200;
// EnableGreenFeature and the settling wait, or DisableGreenFeature; the library's answer (it shows
// its own message when there is no link or the link runs at 10 Mbps).
bool switchGreenFeature(bool on);

}  // namespace kv::jobs
