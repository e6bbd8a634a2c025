// kelvactl test: the hardware self-tests with the Diagnostics page's runner, its unbinding, drain,
// driver reload and verdict; --repeat runs the passes the "Repeat" box would, Ctrl+C stops after
// the test that runs as "Stop Test" does.
#include <algorithm>

#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/jobs/capabilities.h"
#include "kv/jobs/chip_kind.h"
#include "kv/jobs/self_test_runner.h"
#include "kv/jobs/self_test_table.h"
#include "kv/jobs/string_table.h"
#include "kv/jobs/text_layout.h"

namespace kv::kelvactl {

namespace {

using jobs::SelfTest;

// The runner's view on a terminal: the status line as progress, the log kept for the end.
class CommandLineRunView : public jobs::RunView {
public:
    CommandLineRunView(Output& out, int testsInRun) : out_(out), testsInRun_(testsInRun) {}

    void startPass() override {}
    void showStatus(const std::string& status) override {
        const std::string count =
            std::to_string(testsDone_ + 1) + (testsInRun_ ? "/" + std::to_string(testsInRun_) : "");
        out_.progress("[" + count + "] " + status);
    }
    void showLog(const std::string& log) override { log_ = log; }
    void highlightRow(int) override {}
    void clearHighlights() override {}
    void showCounts(int, int, int) override { ++testsDone_; }
    void adapterNotReady(const std::string& text) override { notReady_ = text; }
    void finished() override { out_.clearProgress(); }

    // The log's lines: the failures of the last pass, then the verdict.
    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        for (size_t start = 0; start < log_.size();) {
            const size_t end = log_.find("\r\n", start);
            lines.push_back(log_.substr(start, end - start));
            start = end == std::string::npos ? log_.size() : end + 2;
        }
        return lines;
    }
    const std::string& notReady() const { return notReady_; }

private:
    Output& out_;
    int testsInRun_;  // 0: until Ctrl+C
    int testsDone_ = 0;
    std::string log_;
    std::string notReady_;
};

// "loopback" and "mac-loopback" name the one driver-assisted loopback, under the row each chip has.
bool names(const SelfTest& test, std::string_view key) {
    const auto loopback = [](std::string_view k) { return k == "loopback" || k == "mac-loopback"; };
    return test.key == key || (loopback(test.key) && loopback(key));
}

std::vector<std::string_view> requestedKeys(const std::string& list) {
    std::vector<std::string_view> keys;
    for (size_t start = 0; start <= list.size();) {
        const size_t end = std::min(list.find(',', start), list.size());
        if (end > start) keys.push_back(std::string_view(list).substr(start, end - start));
        start = end + 1;
    }
    return keys;
}

// The chip's tests, the requested ones ticked (all without --tests).
std::shared_ptr<jobs::TestItems> testItems(std::span<const SelfTest* const> table,
                                           const std::optional<std::string>& list, const jobs::ListedAdapter& adapter) {
    auto items = std::make_shared<jobs::TestItems>();
    for (const SelfTest* test : table) items->push_back(std::make_unique<jobs::TestItem>(*test));
    const std::vector<std::string_view> keys = list ? requestedKeys(*list) : std::vector<std::string_view>{};
    if (list && keys.empty()) fail(exitcode::kUsage, "--tests needs test names, as --tests register,eeprom");
    for (std::string_view key : keys) {
        const auto item =
            std::find_if(items->begin(), items->end(), [&](const auto& i) { return names(i->test, key); });
        if (item != items->end()) {
            (*item)->ticked = true;
            continue;
        }
        std::string known;
        for (const SelfTest* test : table) known += (known.empty() ? "" : ", ") + std::string(test->key);
        fail(exitcode::kUsage,
             adapterName(adapter) + " has no test \"" + std::string(key) + "\": its tests are " + known);
    }
    if (!list)
        for (auto& item : *items) item->ticked = true;
    return items;
}

}  // namespace

int runTest(Invocation& invocation) {
    const uint32_t repeat = invocation.numberOption("--repeat", 1, 0, 100000);  // 0: until Ctrl+C
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    const jobs::AdapterRecords records = invocation.select(adapter);
    Invocation::require(adapter, records, jobs::pageset::kFamilyChips, "self-tests",
                        "only the Tavrick family's chips have them");
    const auto items =
        testItems(jobs::selfTestsFor(jobs::chipKindFlags(records.info)), invocation.line().option("--tests"), adapter);
    const int ticked =
        static_cast<int>(std::count_if(items->begin(), items->end(), [](auto& i) { return i->ticked.load(); }));

    Output& out = invocation.output();
    out.print(jobs::adapterHeading(adapter) + "\n");
    auto flags = std::make_shared<jobs::RunFlags>();
    flags->running = true;
    flags->inFlight = true;
    flags->repeat = repeat != 1;
    auto view = std::make_shared<CommandLineRunView>(out, static_cast<int>(repeat) * ticked);
    jobs::TestRunner runner(flags, items, view, static_cast<int>(repeat), Invocation::interrupted);
    runner.run();
    const jobs::TestRunner::Outcome& outcome = runner.outcome();

    using namespace jobs::ids::diagnostics;
    std::vector<std::vector<std::string>> rows = {
        {jobs::resourceText(kTestItemColumn), jobs::resourceText(kPassColumn), jobs::resourceText(kFailColumn)}};
    JsonValue tests = JsonValue::array();
    JsonValue failed = JsonValue::array();
    for (const auto& item : *items) {
        if (!item->ticked) continue;
        const std::string name = jobs::resourceText(item->test.nameId);
        rows.push_back({name, std::to_string(item->passCount), std::to_string(item->failCount)});
        tests.push(JsonValue::object()
                       .set("test", item->test.key)
                       .set("name", name)
                       .set("passed", item->passCount.load())
                       .set("failed", item->failCount.load()));
        if (item->failCount > 0) failed.push(item->test.key);
    }
    const std::vector<std::string> log = view->logLines();
    std::string text = jobs::tableText(rows);
    for (const std::string& line : log) text += line + "\n";
    out.print(text);
    JsonValue logJson = JsonValue::array();
    for (const std::string& line : log) logJson.push(line);
    const bool interrupted = Invocation::interrupted();
    out.setDocument(JsonValue::object()
                        .set("adapter", adapterJson(adapter))
                        .set("passes", outcome.passes)
                        .set("tests", std::move(tests))
                        .set("failed_tests", std::move(failed))
                        .set("unbound", outcome.unbound)
                        .set("flooded", outcome.flooded)
                        .set("log", std::move(logJson))
                        .set("verdict", jobs::resourceText(outcome.verdictId))
                        .set("driver_reloaded", true)
                        .set("interrupted", interrupted));
    if (outcome.adapterGone)
        fail(exitcode::kLibraryFailed,
             adapterName(adapter) + " did not answer before the tests (\"" + view->notReady() +
                 "\"): its driver has been reloaded; check the adapter, then run the tests again");
    if (interrupted) return exitcode::kInterrupted;
    return outcome.failures > 0 || outcome.flooded ? exitcode::kFaultFound : exitcode::kDone;
}

}  // namespace kv::kelvactl
