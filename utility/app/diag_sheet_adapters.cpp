// The main window's adapters: the adapter-list refresh, the selection of an adapter and the page
// set that follows from its chip kind.
#include <cstring>

#include "app/adapter_tree.h"
#include "app/chip_kind.h"
#include "app/diag_sheet.h"
#include "app/driver_version.h"

namespace kv::diag {

namespace {

constexpr uint16_t kChipKindRegister = 0x43;

std::optional<uint8_t> readChipKindRegister() {
    uint8_t value = 0;
    if (ReadPortUchar(kChipKindRegister, &value) != 1) return std::nullopt;
    return value;
}

}  // namespace

bool CDiagSheet::refreshAdapterList() {
    selectedIndex_ = -1;
    if (libraryOpen_) {
        API_Close();
        libraryOpen_ = false;
    }
    const auto fail = [this] {
        if (adapterTree_) adapterTree_->removeAll();
        showPagesForMask(pageset::kGeneralOnly);
        return false;
    };
    if (API_Open() != 1) return fail();
    libraryOpen_ = true;
    if (API_GetAdapterList_A(&adapterList_) != 1) {
        API_Close();
        libraryOpen_ = false;
        return fail();
    }
    if (!adapterTree_) return true;
    adapterTree_->rebuild(adapterList_);
    adapterTree_->selectAdapter(static_cast<int>(adapterList_.Current));
    return true;
}

void CDiagSheet::onAdapterSelected(int index) {
    if (closing_) return;
    if (API_SetCurrAdaptIdx(index) != 1) {
        timers().setTimer(timer::kRefresh, timer::kRefreshMs);
        return;
    }
    if (ui::PropertyPage* page = activePage()) page->onKillActive();
    setAdapterReady(0);
    if (API_GetAdapterInfo(&adapterInfo_) != 1) {
        timers().setTimer(timer::kRefresh, timer::kRefreshMs);
        return;
    }
    const uint8_t flags = chipKindFlags(adapterInfo_);
    // The library writes only the fields it can read: a record cleared first cannot show the
    // previous adapter's driver under this one.
    std::memset(&driverInfo_, 0, sizeof driverInfo_);
    if (API_GetDriverInfo_A(&driverInfo_) == 1) {
        driverVersion_ = kv::diag::driverVersionNumber(
            flags, fieldText(driverInfo_.DriverVersion, sizeof driverInfo_.DriverVersion));
    } else {
        std::memset(&driverInfo_, 0, sizeof driverInfo_);
    }
    selectedIndex_ = index;
    showPagesForMask(pageSetMask(flags, readChipKindRegister));
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
