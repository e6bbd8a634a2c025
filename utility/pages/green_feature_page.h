// The "Green Feature" page: whether the PHY's power saving is on, the stage it chose from the
// cable length, and the controller's power at that stage and link speed; buttons switch the
// feature on and off and read the status again.
#pragma once

#include <optional>
#include <string_view>

#include "framework/property_page.h"
#include "kv/jobs/green_feature.h"

namespace kv::diag {

// The three texts of one green feature status: string-table ids of the status and the stage, and
// the power at the link speed.
struct GreenFeatureTexts {
    int statusTextId;
    int stageTextId;
    std::string_view power;
};

// The texts for a status of the library (-1 no link, 0 off, 1 to 4 the stage); none for any other
// status. The gigabit column applies at 1000 Mbps only.
std::optional<GreenFeatureTexts> greenFeatureTexts(int status, bool gigabit);

class GreenFeature : public ui::PropertyPage {
    Q_OBJECT

public:
    static constexpr uint32_t kSettleMs = jobs::kGreenSettleMs;

    GreenFeature();

protected:
    bool onInitDialog() override;
    void onCommand(int id, int notification) override;

private:
    void refresh();
};

}  // namespace kv::diag
