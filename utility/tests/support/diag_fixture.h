// The utility's main window under test: a simulated machine on the virtual clock, the real
// CDiagSheet started offscreen on it, message boxes answered and recorded, and the ways a test
// drives and reads it — select an adapter, activate a page by its title, let virtual time pass,
// find controls by id, read list rows and the trace.
//
//   DiagFixture fx(machine);            // machine: a MachineBuilder
//   fx.start();                         // the window, adapter 0 selected (the library's Current)
//   fx.selectAdapter(1);
//   auto* page = fx.activatePage("Driver");
//   QCOMPARE(fx.listRows(res::ctl::kDriverList).at(0), "Description | ...");
//   fx.advance(5000);
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/diag_sheet.h"
#include "app/page_table.h"
#include "framework/control_id.h"
#include "kv/sim/testing/machine_builder.h"
#include "support/test_host.h"

namespace kv::ui {
class PropertyPage;
}

namespace kv::diag::testing {

// A screen of 1024 x 768, page icons on, the program named "Kelvadiag".
SheetEnvironment testEnvironment();

class DiagFixture {
public:
    // Installs the machine (on the virtual clock unless told); the window is made by start().
    explicit DiagFixture(kv::sim::testing::MachineBuilder machine = {},
                         QMessageBox::StandardButton boxAnswer = QMessageBox::NoButton,
                         kv::sim::SimClock::Mode clock = kv::sim::SimClock::Mode::Virtual);
    ~DiagFixture();
    DiagFixture(const DiagFixture&) = delete;
    DiagFixture& operator=(const DiagFixture&) = delete;

    // Constructs the main window object and creates its window, shown. `pages` replaces the
    // utility's page table (a test of the window with pages of its own).
    CDiagSheet& start(const SheetEnvironment& environment = testEnvironment(), const PageTable& pages = pageTable());
    // Takes a sheet made elsewhere (by CDiagApp, say) and creates its window.
    CDiagSheet& adopt(CDiagSheet& sheet);
    CDiagSheet& sheet() const;
    // Destroys the window and the object, as the program's end does.
    void stop();

    // Selects the adapter's item in the adapter tree, as a click does; false when it has none.
    bool selectAdapter(int adapterIndex);
    // The adapter tree's item texts in visible order, children indented by two blanks.
    QStringList adapterItems() const;

    // The titles of the pages in the sheet, in order.
    QStringList pageTitles() const;
    // Selects the page's item in the page tree (null when the sheet lacks it); the page then is
    // the active one unless it refused.
    ui::PropertyPage* activatePage(const QString& title);
    ui::PropertyPage* activePage() const;

    // Lets virtual time pass on the user-interface thread: the window's timers fire on time, and
    // posted messages (the window protocol) are delivered.
    void advance(uint32_t ms);
    // Delivers what was posted to the user-interface thread, without letting time pass.
    void deliverPosted();
    // Waits until the worker the window watches has ended (nothing when none is watched), handling
    // the user-interface thread's events meanwhile: a box the worker shows, what it posts. Only
    // the worker's own waits move the virtual clock; the watch's tick comes with advance().
    void finishWatchedWorker();
    // Delivers posted events, without letting time pass on this thread, until `done` holds (a
    // worker thread has ended, say; its own waits move the virtual clock). False when it still
    // does not hold after kWorkerPatienceMs of real time: a worker that hangs fails the test
    // instead of blocking it.
    static constexpr int kWorkerPatienceMs = 60000;
    static bool deliverPostedUntil(const std::function<bool()>& done);

    // The control with that id anywhere in the window (the active page included).
    template <typename T = QWidget>
    T* control(int id) const {
        return ui::findControl<T>(&sheet(), id);
    }
    // The rows of the list view with that id, the cells of each joined by " | ".
    QStringList listRows(int listId) const;

    // The message boxes shown so far (the window's and the library's).
    std::vector<AnsweredBox> boxes() const { return answerer_.boxes(); }
    // What the user does while a box is up (BoxAnswerer::whileShown).
    void whileBoxShown(std::function<void(const QString& text)> action) { answerer_.whileShown(std::move(action)); }
    QStringList boxTexts() const;
    // The trace lines of one kind ("ioctl", "regwrite", "notify", ...), without the kind word.
    static std::vector<std::string> traced(std::string_view kind);

private:
    // The machine is installed before the box answerer and the window exist.
    struct Machine {
        Machine(kv::sim::testing::MachineBuilder builder, kv::sim::SimClock::Mode clock);
        kv::sim::testing::MachineBuilder builder;  // keeps the machine's files
    };

    std::filesystem::path startDirectory_;
    Machine machine_;
    BoxAnswerer answerer_;
    std::unique_ptr<CDiagSheet> owned_;
    CDiagSheet* sheet_ = nullptr;
};

// One 4450 that `shape` adds to.
kv::sim::testing::MachineBuilder oneAdapter(const std::function<void(kv::sim::testing::AdapterBuilder&)>& shape);
// The rows of a page in the main window for the machine's adapter 0 ("no page <title>" when the
// window has no such page).
QStringList pageRows(kv::sim::testing::MachineBuilder machine, const QString& title, int listId);
// Whether the window's adapter-list refresh is waiting to run.
bool refreshRequested(DiagFixture& fx);

}  // namespace kv::diag::testing
