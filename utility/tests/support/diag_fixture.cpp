#include "support/diag_fixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTreeWidgetItemIterator>
#include <thread>

#include "app/adapter_tree.h"
#include "framework/list_view.h"
#include "framework/property_page.h"
#include "framework/tree_control.h"
#include "framework/window_timers.h"
#include "framework/worker_thread.h"
#include "kv/sim/host.h"

namespace kv::diag::testing {

using kv::sim::testing::MachineBuilder;

SheetEnvironment testEnvironment() {
    SheetEnvironment environment;
    environment.screen = QSize(1024, 768);
    environment.pageIconMode = true;
    environment.appName = "Kelvadiag";
    return environment;
}

// Installed from the kept builder itself: a copy would take the machine's files away with it.
DiagFixture::Machine::Machine(MachineBuilder machine, kv::sim::SimClock::Mode clock) : builder(std::move(machine)) {
    builder.install(clock);
    ui::TimerClock::setMode(ui::TimerClock::Mode::Virtual);
    ui::TimerClock::setTimePasser([](uint32_t ms) { kv::sim::Host::get().passTime(ms); });
}

DiagFixture::DiagFixture(MachineBuilder machine, QMessageBox::StandardButton boxAnswer, kv::sim::SimClock::Mode clock)
    : startDirectory_(std::filesystem::current_path()), machine_(std::move(machine), clock), answerer_(boxAnswer) {}

DiagFixture::~DiagFixture() {
    stop();
    std::error_code ec;
    std::filesystem::current_path(startDirectory_, ec);
}

CDiagSheet& DiagFixture::start(const SheetEnvironment& environment, const PageTable& pages) {
    owned_ = std::make_unique<CDiagSheet>(environment, pages);
    return adopt(*owned_);
}

CDiagSheet& DiagFixture::adopt(CDiagSheet& sheet) {
    sheet_ = &sheet;
    sheet.createWindow();
    sheet.show();  // as the modal run shows it
    deliverPosted();
    return sheet;
}

CDiagSheet& DiagFixture::sheet() const {
    Q_ASSERT(sheet_);
    return *sheet_;
}

void DiagFixture::stop() {
    if (sheet_ && sheet_->hasWindow()) sheet_->destroyWindow();
    owned_.reset();
    sheet_ = nullptr;
}

bool DiagFixture::selectAdapter(int adapterIndex) {
    AdapterTree* tree = sheet().adapterTree();
    if (!tree) return false;
    QTreeWidgetItem* item = tree->findAdapter(adapterIndex);
    if (!item) return false;
    tree->setCurrentItem(item);
    deliverPosted();
    return true;
}

QStringList DiagFixture::adapterItems() const {
    QStringList out;
    AdapterTree* tree = sheet().adapterTree();
    if (!tree) return out;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent()) ++depth;
        out << QString(depth * 2, u' ') + (*it)->text(0);
    }
    return out;
}

QStringList DiagFixture::pageTitles() const {
    QStringList out;
    for (int i = 0; i < sheet().pageCount(); ++i) out << sheet().page(i)->caption();
    return out;
}

ui::PropertyPage* DiagFixture::activatePage(const QString& title) {
    for (int i = 0; i < sheet().pageCount(); ++i) {
        if (sheet().page(i)->caption() != title) continue;
        ui::TreeControl* tree = sheet().PageTreeCtrl();
        QTreeWidgetItem* item = nullptr;
        if (tree) item = sheet().FindPageTreeItem(i);
        if (item) {
            tree->selectItem(item);
        } else {
            sheet().setActivePage(i);
        }
        deliverPosted();
        return sheet().page(i);
    }
    return nullptr;
}

ui::PropertyPage* DiagFixture::activePage() const { return sheet().activePage(); }

void DiagFixture::advance(uint32_t ms) {
    deliverPosted();
    ui::TimerClock::advance(ms);
    deliverPosted();
}

void DiagFixture::deliverPosted() {
    for (int round = 0; round < 3; ++round) QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool DiagFixture::deliverPostedUntil(const std::function<bool()>& done) {
    QDeadlineTimer patience(kWorkerPatienceMs);
    while (!done()) {
        if (patience.hasExpired()) return false;
        // Returns as soon as nothing is pending: no time passes here.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::yield();
    }
    // What the worker posted last.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return true;
}

void DiagFixture::finishWatchedWorker() {
    const ui::WorkerHandle worker = sheet().workerWatch().worker();
    if (!worker) return;
    deliverPostedUntil([&] { return worker->hasEnded(); });
    worker->join();
    deliverPosted();
}

QStringList DiagFixture::listRows(int listId) const {
    QStringList rows;
    const auto* list = control<ui::ListView>(listId);
    if (!list) return rows;
    for (int row = 0; row < list->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column) cells << list->itemText(row, column);
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

QStringList DiagFixture::boxTexts() const {
    QStringList out;
    for (const AnsweredBox& box : boxes()) out << box.text;
    return out;
}

std::vector<std::string> DiagFixture::traced(std::string_view kind) { return kv::sim::testing::traced(kind); }

kv::sim::testing::MachineBuilder oneAdapter(const std::function<void(kv::sim::testing::AdapterBuilder&)>& shape) {
    kv::sim::testing::MachineBuilder machine;
    shape(machine.addAdapter(0x4450));
    return machine;
}

QStringList pageRows(kv::sim::testing::MachineBuilder machine, const QString& title, int listId) {
    DiagFixture fx(std::move(machine));
    fx.start();
    if (!fx.activatePage(title)) return {QStringLiteral("no page ") + title};
    return fx.listRows(listId);
}

bool refreshRequested(DiagFixture& fx) { return fx.sheet().timers().isRunning(timer::kRefresh); }

}  // namespace kv::diag::testing
