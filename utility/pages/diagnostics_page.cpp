#include "pages/diagnostics_page.h"

#include <QPointer>
#include <latch>
#include <utility>

#include "app/chip_kind.h"
#include "app/page_services.h"
#include "framework/list_view.h"
#include "framework/message_box.h"
#include "framework/ui_thread.h"
#include "kv/jobs/self_test_table.h"
#include "kv/jobs/string_table.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace kv::diag {

namespace ctl = res::ctl;

namespace {

using namespace jobs::ids::diagnostics;

// The tip buffer of the list's info-tip request, in characters with the terminating zero.
constexpr int kInfoTipBufferChars = 1024;

}  // namespace

// The runner's view of the page: every change is posted to the user-interface thread and dropped
// there when the page is gone. Changes to rows are dropped as well once the page has rebuilt its
// list, which then holds other items.
class PostedRunView : public RunView {
public:
    PostedRunView(CDiagnosticsPage& page, std::shared_ptr<const TestItems> items)
        : target_(std::make_shared<const Target>(Target{&page, std::move(items)})) {}

    void startPass() override {
        postToRows([](CDiagnosticsPage& page, ui::ListView& list) {
            list.clearSelection();
            list.clearHighlights();
            page.setControlText(ctl::kDiagnosticsLog, QString());
        });
    }
    void showStatus(const std::string& status) override { showText(QString::fromStdString(status)); }
    void showLog(const std::string& log) override { showText(QString::fromStdString(log)); }
    void highlightRow(int row) override {
        postToRows([row](CDiagnosticsPage&, ui::ListView& list) { list.setHighlighted(row, true); });
    }
    void clearHighlights() override {
        postToRows([](CDiagnosticsPage&, ui::ListView& list) { list.clearHighlights(); });
    }
    void showCounts(int row, int passCount, int failCount) override {
        postToRows([=](CDiagnosticsPage& page, ui::ListView&) { page.showCounts(row, passCount, failCount); });
    }
    // On the worker's thread, which waits for the answer as the box goes through the window.
    void adapterNotReady(const std::string& text) override { ui::messageBox(QString::fromStdString(text)); }
    void finished() override {
        post([](CDiagnosticsPage& page, bool) {
            page.enableControl(ctl::kDiagnosticsStart, true);
            page.enableControl(ctl::kDiagnosticsStop, true);
        });
    }

private:
    struct Target {
        QPointer<CDiagnosticsPage> page;  // read on the user-interface thread only
        std::shared_ptr<const TestItems> items;
    };

    // `action(page, sameItems)` runs on the user-interface thread while the page lives.
    template <typename Action>
    void post(Action action) {
        ui::postToUi(nullptr, [target = target_, action = std::move(action)] {
            CDiagnosticsPage* page = target->page.data();
            if (page) action(*page, page->items_ == target->items);
        });
    }
    template <typename Action>
    void postToRows(Action action) {
        post([action = std::move(action)](CDiagnosticsPage& page, bool sameItems) {
            if (ui::ListView* list = page.list(); list && sameItems) action(page, *list);
        });
    }
    void showText(const QString& text) {
        post([text](CDiagnosticsPage& page, bool sameItems) {
            if (sameItems) page.setControlText(ctl::kDiagnosticsLog, text);
        });
    }

    std::shared_ptr<const Target> target_;
};

CDiagnosticsPage::CDiagnosticsPage(PageServices& services)
    : ui::PropertyPage(diagnosticsDialog()),
      services_(services),
      flags_(std::make_shared<RunFlags>()),
      items_(std::make_shared<TestItems>()) {}

CDiagnosticsPage::~CDiagnosticsPage() {
    flags_->running = false;
    flags_->repeat = false;
}

ui::ListView* CDiagnosticsPage::list() const { return control<ui::ListView>(ctl::kDiagnosticsList); }

bool CDiagnosticsPage::onInitDialog() {
    ui::ListView& view = *list();
    view.setCheckBoxes(true);
    view.setFullRowSelect(true);
    view.setInfoTips(true);
    const int width = view.clientWidth();
    view.addColumn(loadString(kTestItemColumn), width * 5 / 9, Qt::AlignLeft);
    view.addColumn(loadString(kPassColumn), width * 2 / 9, Qt::AlignHCenter);
    view.addColumn(loadString(kFailColumn), width * 2 / 9, Qt::AlignHCenter);
    view.onCheckChanged = [this](int row) {
        const intptr_t index = list()->itemData(row);
        if (index >= 0 && static_cast<size_t>(index) < items_->size())
            (*items_)[static_cast<size_t>(index)]->ticked = list()->isChecked(row);
    };
    view.onInfoTip = [this](int row) {
        const intptr_t index = list()->itemData(row);
        if (index < 0 || static_cast<size_t>(index) >= items_->size()) return QString();
        return loadString((*items_)[static_cast<size_t>(index)]->test.descriptionId).left(kInfoTipBufferChars - 1);
    };
    return true;
}

bool CDiagnosticsPage::onSetActive() {
    if (checkAdapter(services_) != AdapterAccess::Ready) return true;
    // A run still in flight (the window closing around it) stops after its test.
    flags_->running = false;
    flags_->repeat = false;
    setChecked(ctl::kDiagnosticsRepeat, false);
    fillList();
    return ui::PropertyPage::onSetActive();
}

bool CDiagnosticsPage::onKillActive() {
    const bool leave = leaveListPage(services_, *this, list());
    if (list() && list()->rowCount() == 0) items_ = std::make_shared<TestItems>();
    return leave;
}

void CDiagnosticsPage::fillList() {
    ui::ListView& view = *list();
    view.deleteAllRows();
    auto items = std::make_shared<TestItems>();
    for (const jobs::SelfTest* test : jobs::selfTestsFor(chipKindFlags(services_.adapterInfo()))) {
        view.appendRow(loadString(test->nameId), static_cast<intptr_t>(items->size()));
        items->push_back(std::make_unique<TestItem>(*test));
    }
    items_ = std::move(items);
    for (int row = 0; row < view.rowCount(); ++row) showCounts(row, 0, 0);
}

void CDiagnosticsPage::showCounts(int row, int passCount, int failCount) {
    ui::ListView* view = list();
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
    if (checkAdapter(services_) != AdapterAccess::Ready) return;
    // One run at a time: the library has no locks of its own.
    if (flags_->running || flags_->inFlight) return;
    flags_->running = true;
    flags_->inFlight = true;
    enableControl(ctl::kDiagnosticsStart, false);
    auto runner = std::make_shared<TestRunner>(flags_, items_, std::make_shared<PostedRunView>(*this, items_));
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
    services_.watchWorker(worker_, false, false);
    watched->count_down();
}

void CDiagnosticsPage::stopTest() {
    if (!flags_->running) return;
    flags_->running = false;
    enableControl(ctl::kDiagnosticsStop, false);
}

}  // namespace kv::diag
