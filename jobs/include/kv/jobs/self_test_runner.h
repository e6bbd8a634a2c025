// The Diagnostics page's test runner, the body of its worker thread and of `kelvactl test`: passes
// over the ticked tests, the protocols unbound around them on the systems that need it, the driver
// reloaded at the end and a one-line verdict. The runner touches no window: it tells a RunView,
// which the page implements by posting each change to the user-interface thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv::jobs {

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

// What the runner shows (texts in UTF-8); the page posts each call to the user-interface thread.
class RunView {
public:
    virtual ~RunView() = default;
    // Clears the selection and the highlights of all rows, and the edit.
    virtual void startPass() = 0;
    // Replaces the edit's text with a status line; the log stays as it is.
    virtual void showStatus(const std::string& status) = 0;
    // Shows the whole log in the edit.
    virtual void showLog(const std::string& log) = 0;
    virtual void highlightRow(int row) = 0;
    virtual void clearHighlights() = 0;
    virtual void showCounts(int row, int passCount, int failCount) = 0;
    // The adapter does not answer at a pass start: the page shows the text in a box, on the
    // worker's thread, and the run ends once it is answered.
    virtual void adapterNotReady(const std::string& text) = 0;
    // The run is over: "Start Test" and "Stop Test" are enabled again.
    virtual void finished() = 0;
};

// Frames drained after the unbinding beyond which the adapter is taken as flooded: no test runs.
inline constexpr int kQueuedFrameLimit = 1000;

class TestRunner {
public:
    // `passLimit` ends a repeated run after that many passes (0: until stopped); `stopRequested`,
    // when given, stops the run after its test as "Stop Test" does.
    TestRunner(std::shared_ptr<RunFlags> flags, std::shared_ptr<const TestItems> items, std::shared_ptr<RunView> view,
               int passLimit = 0, std::function<bool()> stopRequested = {});

    // The worker thread's body; the exit code is 0.
    uint32_t run();

    // How the run ended, once run() has returned.
    struct Outcome {
        int passes = 0;            // passes begun
        int failures = 0;          // failed tests over all passes
        bool unbound = false;      // the protocols were unbound (and bound again)
        bool flooded = false;      // more than kQueuedFrameLimit frames were queued: no test ran
        bool adapterGone = false;  // the adapter did not answer at a pass start
        int verdictId = 0;         // the string-table id of the log's last line
    };
    const Outcome& outcome() const { return outcome_; }

private:
    enum class PassEnd { Again, Over };
    PassEnd runPass();
    // Runs the ticked tests from the top; false when "Stop Test" ended the pass.
    bool runTickedTests();
    void runTest(int row, TestItem& item);
    void unbindProtocols();
    void endRun();
    int verdict() const;
    bool stopped() const;
    void appendLog(const std::string& line);

    std::shared_ptr<RunFlags> flags_;
    std::shared_ptr<const TestItems> items_;
    std::shared_ptr<RunView> view_;
    int passLimit_;
    std::function<bool()> stopRequested_;
    std::string log_;
    Outcome outcome_;
    // Whether the view shows anything a pass start clears: empty passes post nothing.
    bool viewChanged_ = true;
};

// Whether the protocols are unbound around the tests: on Windows 5.1 and 5.2.
bool unbindsProtocolsAroundTests();

}  // namespace kv::jobs
