// One page hosted on its own, with window services of the test's own: the adapter records are
// read from the library as the main window reads them at a selection, and the test may change
// them to kinds the library never reports.
#pragma once

#include <QStringList>
#include <memory>
#include <vector>

#include "framework/property_page.h"
#include "kv/sim/testing/machine_builder.h"
#include "session/adapter_session.h"
#include "session/page_services.h"

namespace kv::ui {
class ListView;
}

namespace kv::diag::testing {

class PageHarness : public PageServices {
public:
    // Installs the machine on the virtual clock; the harness keeps its files.
    explicit PageHarness(kv::sim::testing::MachineBuilder machine);
    ~PageHarness() override;

    // Lists the adapters and selects adapter `index` as the main window does: current adapter,
    // adapter record, driver record (all zeros when it cannot be read), ready flag 1.
    bool selectAdapter(int index);
    AdapterInfo& adapterRecord() { return adapterInfo_; }
    DriverInfo_A& driverRecord() { return *driverInfo_; }
    void setAdapterReady(int ready) { ready_ = ready; }

    // Hosts the page (created from these services) and creates its window.
    template <typename Page>
    Page& host() {
        auto page = std::make_unique<Page>(static_cast<PageServices&>(*this));
        Page& ref = *page;
        adopt(std::move(page));
        return ref;
    }
    ui::PropertyPage& page() { return *page_; }
    // Destroys the page, as the window's end does, and keeps the machine.
    void destroyPage() { page_.reset(); }
    bool activate() { return page_->onSetActive(); }
    bool leave() { return page_->onKillActive(); }

    int refreshRequests() const { return refreshRequests_; }
    // What the page handed to the worker watch, and whether it ended the watch at once.
    struct Watch {
        ui::WorkerHandle worker;
        bool refreshAfter = false;
        bool disableActivePage = false;
        int started = 0;
        int endedAtOnce = 0;
    };
    const Watch& watch() const { return watch_; }

    // PageServices. The watched worker holds the library until it has ended or the page ends the
    // watch; the harness takes the library back at the page's next use of it after the end.
    AdapterSession& session() override;
    int selectedAdapterIndex() const override { return selected_; }
    int adapterReady() const override { return ready_; }
    int driverVersionNumber() const override { return -1; }
    const AdapterList_A& adapterList() const override { return *adapterList_; }
    const AdapterInfo& adapterInfo() const override { return adapterInfo_; }
    const DriverInfo_A& driverInfo() const override { return *driverInfo_; }
    void requestAdapterListRefresh() override { ++refreshRequests_; }
    void watchWorker(ui::WorkerHandle worker, bool refreshAfter, bool disableActivePage) override;
    void endWorkerWatch() override;
    void postCommand(int) override {}

private:
    void adopt(std::unique_ptr<ui::PropertyPage> page);

    kv::sim::testing::MachineBuilder machine_;
    AdapterSession session_;
    std::unique_ptr<AdapterList_A> adapterList_;
    AdapterInfo adapterInfo_{};
    std::unique_ptr<DriverInfo_A> driverInfo_;
    int selected_ = -1;
    int ready_ = 1;
    int refreshRequests_ = 0;
    Watch watch_;
    std::unique_ptr<ui::PropertyPage> page_;
};

// The rows of a list, each as its column texts joined by " | ".
QStringList listRows(const ui::ListView& list);

}  // namespace kv::diag::testing
