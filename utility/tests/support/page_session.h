// One page of the sheet on a machine of the test's own: the machine installed on the virtual
// clock, message boxes answered and recorded, adapter 0 selected as the main window selects it,
// and the page hosted, shown and activated.
//
//   PageSession<CStatisticsPage> s(machine);
//   s.advance(500);
//   QCOMPARE(s.valueOf(1036, "Throughput(Send)"), "1024.00 bps");
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <utility>

#include "framework/list_view.h"
#include "framework/window_timers.h"
#include "support/page_harness.h"
#include "support/test_host.h"

namespace kv::diag::testing {

// The harness with the driver version number a test gives.
class VersionedHarness : public PageHarness {
public:
    explicit VersionedHarness(kv::sim::testing::MachineBuilder machine) : PageHarness(std::move(machine)) {}
    int version = -1;
    int driverVersionNumber() const override { return version; }
};

template <typename Page>
class PageSession {
public:
    explicit PageSession(kv::sim::testing::MachineBuilder machine, int driverVersion = -1)
        : harness(std::move(machine)) {
        harness.version = driverVersion;
        harness.selectAdapter(0);
        page = &harness.template host<Page>();
        harness.activate();
    }

    // Lets virtual time pass: the page's timers fire on time.
    void advance(uint32_t ms) {
        ui::TimerClock::advance(ms);
        QCoreApplication::processEvents();
    }
    // Another page becomes the active one, and later this one again.
    void leave() {
        harness.leave();
        page->hide();
    }
    void comeBack() {
        page->show();
        harness.activate();
    }

    template <typename T = QWidget>
    T* control(int id) const {
        return page->template control<T>(id);
    }
    QStringList rows(int listId) const { return listRows(*control<ui::ListView>(listId)); }
    // The value column of the row with that label; a null string when there is none.
    QString valueOf(int listId, const QString& label) const {
        for (const QString& row : rows(listId))
            if (row.startsWith(label + " | ")) return row.mid(label.size() + 3);
        return {};
    }
    QStringList boxTexts() const {
        QStringList texts;
        for (const AnsweredBox& box : boxes.boxes()) texts << box.text;
        return texts;
    }

    // The harness installs the machine and keeps its files; the boxes are answered from then on.
    VersionedHarness harness;
    BoxAnswerer boxes;
    Page* page = nullptr;
};

}  // namespace kv::diag::testing
