#include "support/test_pages.h"

namespace kv::diag::testing {

namespace {
const ui::DialogTemplate& testTemplate() {
    static const ui::DialogTemplate dialog{
        900, "Test", 235, 156, {{kTestControlId, ui::ControlKind::PushButton, 7, 7, 50, 14, "Button"}}};
    return dialog;
}
}  // namespace

TestPage::TestPage(const QString& title) : ui::PropertyPage(testTemplate()) { setCaption(title); }

bool TestPage::onSetActive() {
    ++setActiveCalls;
    return !refuseSetActive && ui::PropertyPage::onSetActive();
}

bool TestPage::onKillActive() {
    ++killActiveCalls;
    return !refuseKillActive && ui::PropertyPage::onKillActive();
}

std::vector<std::unique_ptr<TestPage>> makePages(const QStringList& titles) {
    std::vector<std::unique_ptr<TestPage>> pages;
    for (const QString& title : titles) pages.push_back(std::make_unique<TestPage>(title));
    return pages;
}

}  // namespace kv::diag::testing
