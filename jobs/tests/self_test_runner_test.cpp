// The self-test run stopped from outside (Ctrl+C on the command line, "Stop Test" on the page): it
// ends after the test that runs and still reloads the driver, as the end of every run does.
#include "kv/jobs/self_test_runner.h"

#include <gtest/gtest.h>

#include "kelvalib.h"
#include "kv/jobs/self_test_table.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::jobs {
namespace {

class SilentView : public RunView {
public:
    void startPass() override {}
    void showStatus(const std::string&) override {}
    void showLog(const std::string& log) override { this->log = log; }
    void highlightRow(int) override {}
    void clearHighlights() override {}
    void showCounts(int, int, int) override { ++testsRun; }
    void adapterNotReady(const std::string&) override {}
    void finished() override { finishedCalls++; }
    int testsRun = 0;
    int finishedCalls = 0;
    std::string log;
};

TEST(SelfTestRunner, AStopRequestEndsTheRunAfterItsTestAndTheDriverIsStillReloaded) {
    sim::testing::MachineBuilder machine;
    machine.addAdapter(0x4450);
    machine.install();
    ASSERT_EQ(API_Open(), 1);
    AdapterList_A list{};
    ASSERT_EQ(API_GetAdapterList_A(&list), 1);

    auto items = std::make_shared<TestItems>();
    for (const SelfTest* test : selfTestsFor(0x08)) items->push_back(std::make_unique<TestItem>(*test));
    for (auto& item : *items) item->ticked = true;
    auto flags = std::make_shared<RunFlags>();
    flags->running = true;
    flags->repeat = true;
    auto view = std::make_shared<SilentView>();
    TestRunner runner(flags, items, view, 0, [&view] { return view->testsRun >= 2; });
    runner.run();

    EXPECT_EQ(view->testsRun, 2);
    EXPECT_EQ((*items)[2]->passCount + (*items)[2]->failCount, 0);
    EXPECT_EQ(runner.outcome().passes, 1);
    EXPECT_EQ(view->log, "No hardware errors occur.\r\n");
    EXPECT_EQ(view->finishedCalls, 1);
    EXPECT_FALSE(flags->running);
    EXPECT_FALSE(sim::testing::traced("propchange").empty());
    API_Close();
}

}  // namespace
}  // namespace kv::jobs
