#include "kv/jobs/self_test_runner.h"

#include <array>
#include <utility>

#include "kelvalib.h"
#include "kv/jobs/self_test_table.h"
#include "kv/jobs/string_table.h"
#include "kv/platform/system.h"

namespace kv::jobs {

namespace {

using namespace ids::diagnostics;

// Reads the frames already waiting for the diagnostic protocol; the count, stopping once it is
// past the limit (a flooded segment never runs dry, and the count no longer matters then).
int drainQueuedFrames() {
    std::array<uint8_t, 256> frame{};
    int drained = 0;
    while (drained <= kQueuedFrameLimit && DoReadProcDataIMD(frame.data())) ++drained;
    return drained;
}

}  // namespace

bool unbindsProtocolsAroundTests() {
    platform::OsVersion version;
    return platform::system().version(&version) && version.majorVersion == 5 && version.minorVersion >= 1;
}

TestRunner::TestRunner(std::shared_ptr<RunFlags> flags, std::shared_ptr<const TestItems> items,
                       std::shared_ptr<RunView> view, int passLimit, std::function<bool()> stopRequested)
    : flags_(std::move(flags)),
      items_(std::move(items)),
      view_(std::move(view)),
      passLimit_(passLimit),
      stopRequested_(std::move(stopRequested)) {}

uint32_t TestRunner::run() {
    while (runPass() == PassEnd::Again) {
    }
    endRun();
    return 0;
}

bool TestRunner::stopped() const { return !flags_->running || (stopRequested_ && stopRequested_()); }

TestRunner::PassEnd TestRunner::runPass() {
    ++outcome_.passes;
    log_.clear();
    if (std::exchange(viewChanged_, false)) view_->startPass();
    if (API_IsCurrAdapterAlive() == 0) {
        outcome_.adapterGone = true;
        view_->adapterNotReady(resourceText(kAdapterNotReady));
        return PassEnd::Over;
    }
    if (!outcome_.unbound && unbindsProtocolsAroundTests()) {
        unbindProtocols();
        if (outcome_.flooded) return PassEnd::Over;
    }
    if (!runTickedTests()) return PassEnd::Over;
    const bool passesLeft = passLimit_ == 0 || outcome_.passes < passLimit_;
    return flags_->repeat && !stopped() && passesLeft ? PassEnd::Again : PassEnd::Over;
}

// Once per run: the other protocols would take the adapter's frames during the tests.
void TestRunner::unbindProtocols() {
    outcome_.unbound = true;
    viewChanged_ = true;
    view_->showStatus(resourceText(kUnbinding));
    Unbind_Ptl();
    // Frames that arrived before are no failures; a flood of them leaves no room for the tests.
    outcome_.flooded = drainQueuedFrames() > kQueuedFrameLimit;
}

bool TestRunner::runTickedTests() {
    for (size_t row = 0; row < items_->size(); ++row) {
        TestItem& item = *(*items_)[row];
        // A row that is not ticked is skipped without looking at "Stop Test".
        if (!item.ticked) continue;
        runTest(static_cast<int>(row), item);
        if (stopped()) return false;
    }
    return true;
}

void TestRunner::runTest(int row, TestItem& item) {
    viewChanged_ = true;
    view_->highlightRow(row);
    view_->showStatus("Testing on " + resourceText(item.test.displayNameId) + ". Please wait...");
    if (item.test.run() != 0) {
        ++item.passCount;
    } else {
        ++item.failCount;
        ++outcome_.failures;
        appendLog(resourceText(item.test.failureId));
    }
    view_->showCounts(row, item.passCount, item.failCount);
    view_->clearHighlights();
}

void TestRunner::endRun() {
    if (outcome_.unbound) {
        view_->showStatus(resourceText(kBinding));
        bind_Ptl();
    }
    view_->showStatus(resourceText(kReloading));
    API_ReloadMiniport();
    outcome_.verdictId = verdict();
    appendLog(resourceText(outcome_.verdictId));
    // The page may start the next run once these are down; the view's last post follows them.
    flags_->running = false;
    flags_->inFlight = false;
    view_->finished();
}

// Failures found before keep their verdict. Without any, an adapter that could not be tested is
// no adapter without errors: the run closes with the text of the box the user was shown.
int TestRunner::verdict() const {
    if (outcome_.flooded || outcome_.failures > 1) return kErrors;
    if (outcome_.failures == 1) return kOneError;
    return outcome_.adapterGone ? kAdapterNotReady : kNoErrors;
}

// The log grows by the line and a line break; the texts are never a format.
void TestRunner::appendLog(const std::string& line) {
    log_ += line + "\r\n";
    view_->showLog(log_);
}

}  // namespace kv::jobs
