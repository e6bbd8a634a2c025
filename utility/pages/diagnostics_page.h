// The "Diagnostics" page: the hardware self-tests of the selected adapter, ticked in a list and
// run once or repeatedly on a worker thread (kv/jobs/self_test_runner.h), with pass and fail counts per
// test and a log of the failures closed by a verdict.
#pragma once

#include <memory>

#include "framework/worker_thread.h"
#include "kv/jobs/self_test_runner.h"
#include "pages/list_page.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag {

class PageServices;
using jobs::RunFlags;
using jobs::RunView;
using jobs::TestItem;
using jobs::TestItems;
using jobs::TestRunner;

class CDiagnosticsPage : public ListPage {
    Q_OBJECT

public:
    explicit CDiagnosticsPage(PageServices& services);
    // A run still in flight stops after its test; what it shows from then on is dropped.
    ~CDiagnosticsPage() override;

    bool onSetActive() override;
    bool onKillActive() override;
    // A run in flight stops after its test and goes through its end sequence.
    void onSheetEnding() override;

    // The thread of the last run (null before the first); the window's worker watch waits on it.
    const ui::WorkerHandle& worker() const { return worker_; }

protected:
    bool onInitDialog() override;
    void onCommand(int id, int notification) override;

private:
    friend class PageRunView;

    void fillList();
    void showCounts(int row, int passCount, int failCount);
    void startTest();
    void stopTest();

    std::shared_ptr<RunFlags> flags_;
    // Replaced, not emptied, when the list is rebuilt: a run in flight keeps the items it has.
    std::shared_ptr<TestItems> items_;
    ui::WorkerHandle worker_;
};

}  // namespace kv::diag
