// Plain pages for sheet tests: a small template with one control, a settable title, and
// set-active / kill-active steps that count their calls and can refuse.
#pragma once

#include <memory>
#include <vector>

#include "framework/property_page.h"

namespace kv::diag::testing {

inline constexpr int kTestControlId = 4711;

class TestPage : public ui::PropertyPage {
    Q_OBJECT

public:
    explicit TestPage(const QString& title);

    bool onSetActive() override;
    bool onKillActive() override;

    bool refuseSetActive = false;
    bool refuseKillActive = false;
    int setActiveCalls = 0;
    int killActiveCalls = 0;
};

// Pages with these titles, in order.
std::vector<std::unique_ptr<TestPage>> makePages(const QStringList& titles);

}  // namespace kv::diag::testing
