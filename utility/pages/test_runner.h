// The "Diagnostics" page's test runner, the body of its worker thread: passes over the ticked
// tests, the protocols unbound around them on the systems that need it, the driver reloaded at
// the end and a one-line verdict. The runner never touches a widget: it tells a RunView, which
// brings each change to the user-interface thread.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace kv::diag {

struct SelfTest;

// One row of the test list. The page and the worker share it: the user-interface thread ticks
// it, the worker counts.
struct TestItem {
    explicit TestItem(const SelfTest& test) : test(test) {}
    const SelfTest& test;
    std::atomic<bool> ticked{false};
    std::atomic<int> passCount{0};
    std::atomic<int> failCount{0};
};
// Row i shows item i.
using TestItems = std::vector<std::unique_ptr<TestItem>>;

// The flags the page and its worker share.
struct RunFlags {
    std::atomic<bool> running{false};   // cleared by "Stop Test": the worker ends after its test
    std::atomic<bool> repeat{false};    // the "Repeat" check box
    std::atomic<bool> inFlight{false};  // a worker has been started and has not finished its run
};

// What the runner shows; the page brings each call to the user-interface thread.
class RunView {
public:
    virtual ~RunView() = default;
    // Clears the selection and the highlights of all rows, and the edit.
    virtual void startPass() = 0;
    // Replaces the edit's text with a status line; the log stays as it is.
    virtual void showStatus(const QString& status) = 0;
    // Shows the whole log in the edit.
    virtual void showLog(const QString& log) = 0;
    virtual void highlightRow(int row) = 0;
    virtual void clearHighlights() = 0;
    virtual void showCounts(int row, int passCount, int failCount) = 0;
    // The run is over: "Start Test" and "Stop Test" are enabled again.
    virtual void finished() = 0;
};

// Frames drained after the unbinding beyond which the adapter is taken as flooded: no test runs.
inline constexpr int kQueuedFrameLimit = 1000;

class TestRunner {
public:
    TestRunner(std::shared_ptr<RunFlags> flags, std::shared_ptr<const TestItems> items, std::shared_ptr<RunView> view);

    // The worker thread's body; the exit code is 0.
    uint32_t run();

private:
    enum class PassEnd { Again, Over };
    PassEnd runPass();
    // Runs the ticked tests from the top; false when "Stop Test" ended the pass.
    bool runTickedTests();
    void runTest(int row, TestItem& item);
    void unbindProtocols();
    void endRun();
    int verdict() const;
    void appendLog(const QString& line);

    std::shared_ptr<RunFlags> flags_;
    std::shared_ptr<const TestItems> items_;
    std::shared_ptr<RunView> view_;
    QString log_;
    bool unbound_ = false;
    bool flooded_ = false;
    bool adapterGone_ = false;
    int failures_ = 0;
    // Whether the view shows anything a pass start clears: empty passes post nothing.
    bool viewChanged_ = true;
};

// Whether the protocols are unbound around the tests: on Windows 5.1 and 5.2.
bool unbindsProtocolsAroundTests();

}  // namespace kv::diag
