// Pages for tests of the main window itself: "General", "Driver" and "Cable" with the page
// table's masks and bitmaps, which count their activations and run a test's hook on activation,
// and touch no adapter.
#pragma once

#include <functional>

#include "app/page_table.h"
#include "framework/property_page.h"

namespace kv::diag::testing {

class HookedPage : public ui::PropertyPage {
    Q_OBJECT
public:
    HookedPage(PageServices& services, const ui::DialogTemplate& dialogTemplate);

    bool onSetActive() override;
    bool onKillActive() override;

    PageServices& services;
    int activations = 0;
    int deactivations = 0;
    // Runs inside the set-active step.
    std::function<void()> onActivation;
};

// General 0x1F / 159, Driver 0x1E / 168, Cable 0x18 / 165.
const PageTable& hookedPageTable();

}  // namespace kv::diag::testing
