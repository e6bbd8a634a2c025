#include "app/page_table.h"

#include "pages/cable_page.h"
#include "pages/driver_page.h"
#include "pages/general_info_page.h"
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

}  // namespace kv::diag
