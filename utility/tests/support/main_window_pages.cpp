#include "support/main_window_pages.h"

#include "resources/resource_ids.h"

namespace kv::diag::testing {

namespace {

const ui::DialogTemplate& pageTemplate(std::string_view caption) {
    static const ui::DialogTemplate general{.id = 9001, .caption = "General", .width = 280, .height = 200, .controls = {}};
    static const ui::DialogTemplate driver{.id = 9002, .caption = "Driver", .width = 280, .height = 200, .controls = {}};
    static const ui::DialogTemplate cable{.id = 9003, .caption = "Cable", .width = 280, .height = 200, .controls = {}};
    if (caption == "Driver") return driver;
    if (caption == "Cable") return cable;
    return general;
}

template <const char* Caption>
std::unique_ptr<ui::PropertyPage> makeHookedPage(PageServices& services) {
    return std::make_unique<HookedPage>(services, pageTemplate(Caption));
}

constexpr char kGeneral[] = "General";
constexpr char kDriver[] = "Driver";
constexpr char kCable[] = "Cable";

}  // namespace

HookedPage::HookedPage(PageServices& services, const ui::DialogTemplate& dialogTemplate)
    : ui::PropertyPage(dialogTemplate), services(services) {}

bool HookedPage::onSetActive() {
    ++activations;
    if (onActivation) onActivation();
    return true;
}

bool HookedPage::onKillActive() {
    ++deactivations;
    return true;
}

const PageTable& hookedPageTable() {
    static const PageTable table = {
        {makeHookedPage<kGeneral>, kGeneral, 0x1F, res::kBitmapGeneral},
        {makeHookedPage<kDriver>, kDriver, 0x1E, res::kBitmapDriver},
        {makeHookedPage<kCable>, kCable, 0x18, res::kBitmapCable},
    };
    return table;
}

}  // namespace kv::diag::testing
