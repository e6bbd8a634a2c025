#include "pages/diagnostics_page.h"

#include <QPointer>
#include <latch>
#include <map>
#include <mutex>
#include <utility>

#include "framework/list_view.h"
#include "framework/message_box.h"
#include "framework/ui_thread.h"
#include "kv/jobs/chip_kind.h"
#include "kv/jobs/self_test_table.h"
#include "kv/jobs/string_table.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/page_services.h"

namespace kv::diag {

namespace ctl = res::ctl;

namespace {

using namespace res::str::diagnostics;

// The tip buffer of the list's info-tip request, in characters with the terminating zero.
constexpr int kInfoTipBufferChars = 1024;

}  // namespace

// The runner's view of the page. The edit's texts (the status lines and the log) are handed over
// synchronously: the runner waits until the window has set each one, as a worker that sets a
// control's text waits for the window, so every text is shown and the runner never gets ahead of
// the window by more than one text. The rows change with every test of every pass (the highlight,
// the selection cleared at a pass start, the counts): the runner writes the latest of them into
// shared state and the window draws it when it gets to it, with at most one drawing queued (a
// CoalescedUiCall), so a fast Repeat run queues nothing per pass. The run's end draws the rows at
// once, so the counts shown then are exact. Everything is dropped when the page is gone; the rows
// and texts also once the page has rebuilt its list, which then holds other items.
class PageRunView : public RunView {
public:
    PageRunView(CDiagnosticsPage& page, std::shared_ptr<const TestItems> items)
        : shared_(std::make_shared<Shared>(page, std::move(items))),
          drawing_([shared = shared_] { drawRows(*shared); }) {}

    void startPass() override {
        changeRows([](RowChanges& rows) {
            rows.clearSelection = true;
            rows.highlighted = -1;
        });
        showText(QString());
    }
    void showStatus(const std::string& status) override { showText(QString::fromStdString(status)); }
    void showLog(const std::string& log) override { showText(QString::fromStdString(log)); }
    void highlightRow(int row) override {
        changeRows([row](RowChanges& rows) { rows.highlighted = row; });
    }
    void clearHighlights() override {
        changeRows([](RowChanges& rows) { rows.highlighted = -1; });
    }
    void showCounts(int row, int passCount, int failCount) override {
        changeRows([=](RowChanges& rows) { rows.counts[row] = {passCount, failCount}; });
    }
    // On the worker's thread, which waits for the answer as the box goes through the window.
    void adapterNotReady(const std::string& text) override { ui::messageBox(QString::fromStdString(text)); }
    void finished() override {
        ui::runOnUiThread([shared = shared_] {
            drawRows(*shared);
            if (CDiagnosticsPage* page = shared->page.data()) {
                page->enableControl(ctl::kDiagnosticsStart, true);
                page->enableControl(ctl::kDiagnosticsStop, true);
            }
        });
    }

private:
    // What the rows show now and the window has not drawn yet.
    struct RowChanges {
        bool clearSelection = false;
        int highlighted = -1;
        std::map<int, std::pair<int, int>> counts;  // row: pass and fail count
    };
    struct Shared {
        Shared(CDiagnosticsPage& page, std::shared_ptr<const TestItems> items) : page(&page), items(std::move(items)) {}
        QPointer<CDiagnosticsPage> page;  // read on the user-interface thread only
        const std::shared_ptr<const TestItems> items;
        std::mutex mutex;
        RowChanges rows;  // under the mutex
    };

    // The page, on the user-interface thread, while it still shows the run's items.
    static CDiagnosticsPage* pageShowingRun(const Shared& shared) {
        CDiagnosticsPage* page = shared.page.data();
        return page && page->items_ == shared.items ? page : nullptr;
    }

    static void drawRows(Shared& shared) {
        RowChanges rows;
        {
            const std::lock_guard lock(shared.mutex);
            rows = std::move(shared.rows);
            // The highlight is a state, not a change: it stays for the next drawing.
            shared.rows = RowChanges{};
            shared.rows.highlighted = rows.highlighted;
        }
        CDiagnosticsPage* page = pageShowingRun(shared);
        ui::ListView* list = page ? page->findList() : nullptr;
        if (!list) return;
        if (rows.clearSelection) list->clearSelection();
        list->clearHighlights();
        if (rows.highlighted >= 0) list->setHighlighted(rows.highlighted, true);
        for (const auto& [row, counts] : rows.counts) page->showCounts(row, counts.first, counts.second);
    }

    template <typename Change>
    void changeRows(Change change) {
        {
            const std::lock_guard lock(shared_->mutex);
            change(shared_->rows);
        }
        drawing_.request();
    }

    void showText(const QString& text) {
        ui::runOnUiThread([shared = shared_, &text] {
            if (CDiagnosticsPage* page = pageShowingRun(*shared)) page->setControlText(ctl::kDiagnosticsLog, text);
        });
    }

    std::shared_ptr<Shared> shared_;
    ui::CoalescedUiCall drawing_;
};

CDiagnosticsPage::CDiagnosticsPage(PageServices& services)
    : ListPage(diagnosticsDialog(), ctl::kDiagnosticsList, services),
      flags_(std::make_shared<RunFlags>()),
      items_(std::make_shared<TestItems>()) {}

CDiagnosticsPage::~CDiagnosticsPage() { onSheetEnding(); }

void CDiagnosticsPage::onSheetEnding() {
    flags_->running = false;
    flags_->repeat = false;
}

bool CDiagnosticsPage::onInitDialog() {
    ui::ListView& view = list();
    view.setCheckBoxes(true);
    view.setFullRowSelect(true);
    view.setInfoTips(true);
    const int width = view.clientWidth();
    view.addColumn(loadString(kTestItemColumn), width * 5 / 9, Qt::AlignLeft);
    view.addColumn(loadString(kPassColumn), width * 2 / 9, Qt::AlignHCenter);
    view.addColumn(loadString(kFailColumn), width * 2 / 9, Qt::AlignHCenter);
    connect(&view, &ui::ListView::checkChanged, this, [this](int row) {
        const intptr_t index = list().itemData(row);
        if (index >= 0 && static_cast<size_t>(index) < items_->size())
            (*items_)[static_cast<size_t>(index)]->ticked = list().isChecked(row);
    });
    view.onInfoTip = [this](int row) {
        const intptr_t index = list().itemData(row);
        if (index < 0 || static_cast<size_t>(index) >= items_->size()) return QString();
        return loadString((*items_)[static_cast<size_t>(index)]->test.descriptionId).left(kInfoTipBufferChars - 1);
    };
    return true;
}

bool CDiagnosticsPage::onSetActive() {
    if (checkAdapter(services()) != AdapterAccess::Ready) return true;
    // A run still in flight (the window closing around it) stops after its test.
    flags_->running = false;
    flags_->repeat = false;
    setChecked(ctl::kDiagnosticsRepeat, false);
    fillList();
    return ui::PropertyPage::onSetActive();
}

bool CDiagnosticsPage::onKillActive() {
    const bool leave = ListPage::onKillActive();
    if (findList() && list().rowCount() == 0) items_ = std::make_shared<TestItems>();
    return leave;
}

void CDiagnosticsPage::fillList() {
    ui::ListView& view = list();
    view.deleteAllRows();
    auto items = std::make_shared<TestItems>();
    for (const jobs::SelfTest* test : jobs::selfTestsFor(jobs::chipKindFlags(services().adapterInfo()))) {
        view.appendRow(loadString(test->nameId), static_cast<intptr_t>(items->size()));
        items->push_back(std::make_unique<TestItem>(*test));
    }
    items_ = std::move(items);
    for (int row = 0; row < view.rowCount(); ++row) showCounts(row, 0, 0);
}

void CDiagnosticsPage::showCounts(int row, int passCount, int failCount) {
    ui::ListView* view = findList();
    if (!view) return;
    view->setItemText(row, 1, QString::number(passCount));
    view->setItemText(row, 2, QString::number(failCount));
}

void CDiagnosticsPage::onCommand(int id, int notification) {
    if (notification != ui::notify::kClicked) return;
    if (id == ctl::kDiagnosticsStart) {
        startTest();
    } else if (id == ctl::kDiagnosticsStop) {
        stopTest();
    } else if (id == ctl::kDiagnosticsRepeat) {
        flags_->repeat = isChecked(ctl::kDiagnosticsRepeat);
    }
}

void CDiagnosticsPage::startTest() {
    if (checkAdapter(services()) != AdapterAccess::Ready) return;
    // One run at a time: the library has no locks of its own.
    if (flags_->running || flags_->inFlight) return;
    flags_->running = true;
    flags_->inFlight = true;
    enableControl(ctl::kDiagnosticsStart, false);
    auto runner = std::make_shared<TestRunner>(flags_, items_, std::make_shared<PageRunView>(*this, items_));
    // The worker waits until the window watches it: the watch is in place (and its period counts)
    // before the first library call of the run.
    auto watched = std::make_shared<std::latch>(1);
    worker_ = ui::WorkerThread::start([runner, watched] {
        watched->wait();
        return runner->run();
    });
    if (!worker_) {
        enableControl(ctl::kDiagnosticsStart, true);
        enableControl(ctl::kDiagnosticsStop, true);
        flags_->running = false;
        flags_->inFlight = false;
        return;
    }
    services().watchWorker(worker_, false, false);
    watched->count_down();
}

void CDiagnosticsPage::stopTest() {
    if (!flags_->running) return;
    flags_->running = false;
    enableControl(ctl::kDiagnosticsStop, false);
}

}  // namespace kv::diag
