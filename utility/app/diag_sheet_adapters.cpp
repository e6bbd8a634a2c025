// The main window's adapters: the adapter-list refresh, the selection of an adapter and the page
// set that follows from its chip kind.
#include "app/adapter_tree.h"
#include "app/diag_sheet.h"
#include "kv/jobs/chip_kind.h"
#include "kv/jobs/driver_version.h"
#include "kv/jobs/library_text.h"

namespace kv::diag {

namespace {

constexpr uint16_t kChipKindRegister = 0x43;

}  // namespace

bool CDiagSheet::refreshAdapterList() {
    selectedIndex_ = -1;
    std::optional<AdapterList_A> list = session_.reopen();
    if (!list) {
        if (adapterTree_) adapterTree_->removeAll();
        showPagesForMask(pageset::kGeneralOnly);
        return false;
    }
    adapterList_ = *list;
    if (!adapterTree_) return true;
    adapterTree_->rebuild(adapterList_);
    adapterTree_->selectAdapter(static_cast<int>(adapterList_.Current));
    return true;
}

void CDiagSheet::onAdapterSelected(int index) {
    if (closing_) return;
    if (!session_.select(index)) {
        timers().setTimer(timer::kRefresh, timer::kRefreshMs);
        return;
    }
    if (ui::PropertyPage* page = activePage()) page->onKillActive();
    setAdapterReady(0);
    const std::optional<AdapterInfo> info = session_.adapterInfo();
    if (!info) {
        timers().setTimer(timer::kRefresh, timer::kRefreshMs);
        return;
    }
    adapterInfo_ = *info;
    const uint8_t flags = jobs::chipKindFlags(adapterInfo_);
    // A failed read leaves the record cleared, so it cannot show the previous adapter's driver
    // under this one.
    const std::optional<DriverInfo_A> driver = session_.driverInfo();
    driverInfo_ = driver.value_or(DriverInfo_A{});
    if (driver) {
        driverVersion_ = jobs::driverVersionNumber(
            flags, jobs::fieldText(driverInfo_.DriverVersion, sizeof driverInfo_.DriverVersion));
    }
    selectedIndex_ = index;
    showPagesForMask(pageSetMask(flags, [this] { return session_.registerByte(kChipKindRegister); }));
}

void CDiagSheet::showPagesForMask(uint32_t mask) {
    applyPageSet(pageSlots_, mask, environment_.pageIconMode, *this);
    RebuildPageTree();
    setAdapterReady(1);
    setActivePage(0);
}

void CDiagSheet::addTablePage(size_t entry) { CTreeSheet::addPage(pages_[entry].get()); }

void CDiagSheet::removeTablePage(size_t entry) { CTreeSheet::removePage(pages_[entry].get()); }

void CDiagSheet::setTablePageIcon(size_t entry, int image) { SetPageIcon(*pages_[entry], pageIcons_, image); }

}  // namespace kv::diag
