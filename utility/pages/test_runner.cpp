#include "pages/test_runner.h"

#include <array>
#include <utility>

#include "framework/message_box.h"
#include "kelvalib.h"
#include "kv/platform/system.h"
#include "pages/self_test_table.h"
#include "resources/string_table.h"

namespace kv::diag {

namespace {

// String-table ids of the runner's texts.
enum : int {
    kAdapterNotReady = 75,
    kUnbinding = 76,
    kBinding = 77,
    kReloading = 78,
    kNoErrors = 80,
    kOneError = 81,
    kErrors = 82,
};

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
                       std::shared_ptr<RunView> view)
    : flags_(std::move(flags)), items_(std::move(items)), view_(std::move(view)) {}

uint32_t TestRunner::run() {
    while (runPass() == PassEnd::Again) {
    }
    endRun();
    return 0;
}

TestRunner::PassEnd TestRunner::runPass() {
    log_.clear();
    if (std::exchange(viewChanged_, false)) view_->startPass();
    if (API_IsCurrAdapterAlive() == 0) {
        adapterGone_ = true;
        ui::messageBox(loadString(kAdapterNotReady));
        return PassEnd::Over;
    }
    if (!unbound_ && unbindsProtocolsAroundTests()) {
        unbindProtocols();
        if (flooded_) return PassEnd::Over;
    }
    if (!runTickedTests()) return PassEnd::Over;
    return flags_->repeat && flags_->running ? PassEnd::Again : PassEnd::Over;
}

// Once per run: the other protocols would take the adapter's frames during the tests.
void TestRunner::unbindProtocols() {
    unbound_ = true;
    viewChanged_ = true;
    view_->showStatus(loadString(kUnbinding));
    Unbind_Ptl();
    // Frames that arrived before are no failures; a flood of them leaves no room for the tests.
    flooded_ = drainQueuedFrames() > kQueuedFrameLimit;
}

bool TestRunner::runTickedTests() {
    for (size_t row = 0; row < items_->size(); ++row) {
        TestItem& item = *(*items_)[row];
        // A row that is not ticked is skipped without looking at "Stop Test".
        if (!item.ticked) continue;
        runTest(static_cast<int>(row), item);
        if (!flags_->running) return false;
    }
    return true;
}

void TestRunner::runTest(int row, TestItem& item) {
    viewChanged_ = true;
    view_->highlightRow(row);
    view_->showStatus(QStringLiteral("Testing on ") + loadString(item.test.displayNameId) +
                      QStringLiteral(". Please wait..."));
    if (item.test.run() != 0) {
        ++item.passCount;
    } else {
        ++item.failCount;
        ++failures_;
        appendLog(loadString(item.test.failureId));
    }
    view_->showCounts(row, item.passCount, item.failCount);
    view_->clearHighlights();
}

void TestRunner::endRun() {
    if (unbound_) {
        view_->showStatus(loadString(kBinding));
        bind_Ptl();
    }
    view_->showStatus(loadString(kReloading));
    API_ReloadMiniport();
    appendLog(loadString(verdict()));
    // The page may start the next run once these are down; the view's last post follows them.
    flags_->running = false;
    flags_->inFlight = false;
    view_->finished();
}

// Failures found before keep their verdict. Without any, an adapter that could not be tested is
// no adapter without errors: the run closes with the text of the box the user was shown.
int TestRunner::verdict() const {
    if (flooded_ || failures_ > 1) return kErrors;
    if (failures_ == 1) return kOneError;
    return adapterGone_ ? kAdapterNotReady : kNoErrors;
}

// The log grows by the line and a line break; the texts are never a format.
void TestRunner::appendLog(const QString& line) {
    log_ += line + QStringLiteral("\r\n");
    view_->showLog(log_);
}

}  // namespace kv::diag
