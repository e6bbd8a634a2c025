#include "app/page_table.h"

#include "pages/cable_page.h"
#include "pages/diagnostics_page.h"
#include "pages/driver_page.h"
#include "pages/drv_setting_page.h"
#include "pages/general_info_page.h"
#include "pages/green_feature_page.h"
#include "pages/send_receive_page.h"
#include "pages/statistics_page.h"
#include "pages/vlan_page.h"
#include "pages/wol_page.h"
#include "resources/resource_ids.h"

namespace kv::diag {

const PageTable& pageTable() {
    static const PageTable table = {
        {makePage<CGeneralInfoPage>, "General", 0x1F, res::kBitmapGeneral},
        {makePage<CDriverPage>, "Driver", 0x1E, res::kBitmapDriver},
        {makePage<CCablePage>, "Cable", 0x18, res::kBitmapCable},
    };
    return table;
}

namespace {

// Page-set bits: 0x01 every adapter, 0x02 the 4420 kind, 0x04 the 0x20 kind, 0x08 the 4430 / 4450
// and 4410 / 4440 kinds, 0x10 the 4410 / 4440 kind.
constexpr uint32_t kEveryAdapter = 0x1F;  // standard counters and frames work on any adapter
constexpr uint32_t kFamilyChips = 0x1E;   // the maker's driver and its private commands
constexpr uint32_t kCableChips = 0x18;    // the PHY's cable functions

std::unique_ptr<ui::PropertyPage> makeGreenFeature(PageServices&) { return std::make_unique<GreenFeature>(); }

}  // namespace

const PageTable& allPagesTable() {
    static const PageTable table = [] {
        PageTable all = pageTable();
        all.push_back({makePage<CDiagnosticsPage>, "Diagnostics", kFamilyChips, res::kBitmapDiagnostics});
        all.push_back({makePage<CBcstTRxPage>, "Diagnostics::Send and Receive", kFamilyChips, res::kBitmapSendReceive});
        all.push_back({makePage<CStatisticsPage>, "Statistics", kEveryAdapter, res::kBitmapStatistics});
        all.push_back({makePage<CWOLPage>, "Wake On LAN", kEveryAdapter, res::kBitmapWakeOnLan});
        all.push_back(
            {makePage<CDrvSettingPage>, "Driver::Advanced Setting", kFamilyChips, res::kBitmapAdvancedSetting});
        all.push_back({makePage<CVlanPage>, "VLAN", kFamilyChips, res::kBitmapVlan});
        all.push_back({makeGreenFeature, "Green Feature", kCableChips, res::kBitmapGreenFeature});
        return all;
    }();
    return table;
}

}  // namespace kv::diag
