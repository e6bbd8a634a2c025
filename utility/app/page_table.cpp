#include "app/page_table.h"

#include "app/page_set.h"
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
        {makePage<CGeneralInfoPage>, "General", pageset::kEveryAdapter, res::kBitmapGeneral},
        {makePage<CDriverPage>, "Driver", pageset::kFamilyChips, res::kBitmapDriver},
        {makePage<CCablePage>, "Cable", pageset::kCableChips, res::kBitmapCable},
    };
    return table;
}

namespace {

using pageset::kCableChips;
using pageset::kEveryAdapter;
using pageset::kFamilyChips;

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
