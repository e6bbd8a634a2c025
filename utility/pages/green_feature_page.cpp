#include "pages/green_feature_page.h"

#include "kv/jobs/green_feature.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace kv::diag {

namespace ctl = res::ctl;

std::optional<GreenFeatureTexts> greenFeatureTexts(int status, bool gigabit) {
    const auto row = jobs::greenFeatureRow(status, gigabit);
    if (!row) return std::nullopt;
    return GreenFeatureTexts{row->statusTextId, row->stageTextId, row->power};
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
        case ctl::kGreenDisable:
            // The library shows its own messages (no link, a 10 Mbps link); the page refreshes in
            // any case.
            jobs::switchGreenFeature(id == ctl::kGreenEnable);
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
    const jobs::GreenStatus status = jobs::readGreenStatus();
    const auto texts = greenFeatureTexts(status.status, status.gigabit);
    if (!texts) return;
    setControlText(ctl::kGreenStatus, loadString(texts->statusTextId));
    setControlText(ctl::kGreenStage, loadString(texts->stageTextId));
    setControlText(ctl::kGreenPower,
                   QString::fromLatin1(texts->power.data(), static_cast<qsizetype>(texts->power.size())));
}

}  // namespace kv::diag
