#include "pages/general_info_page.h"

#include "app/page_services.h"
#include "framework/list_view.h"
#include "kv/jobs/adapter_facts.h"
#include "kv/jobs/adapter_text.h"
#include "kv/jobs/ethernet_address.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace kv::diag {

namespace {

// String-table ids of the page's labels and fixed values.
enum : int {
    kMacAddress = 7,
    kIpAddress = 8,
    kConnectionName = 9,
    kVlanId = 10,
    kLinkStatus = 11,
    kSpeed10 = 12,
    kSpeed100 = 13,
    kSpeed1000 = 14,
    kSpeedUnknown = 15,
    kDuplexMode = 16,
    kFullDuplex = 17,
    kHalfDuplex = 18,
    kDisconnected = 19,
    kDeviceLocation = 20,
    kVendorId = 21,
    kDeviceId = 22,
    kSubVendorId = 23,
    kSubSystemId = 24,
    kRevisionId = 25,
    kIoAddress = 26,
    kMemoryAddress = 27,
    kInterruptNumber = 28,
};

QString text(int id) { return loadString(id); }

QString linkSpeedText(uint32_t mbps) {
    switch (mbps) {
        case 10:
            return text(kSpeed10);
        case 100:
            return text(kSpeed100);
        case 1000:
            return text(kSpeed1000);
        default:
            return text(kSpeedUnknown);
    }
}

QString hex4(uint32_t value) { return QString::asprintf("%04X", value); }

}  // namespace

CGeneralInfoPage::CGeneralInfoPage(PageServices& services)
    : ListPage(generalDialog(), res::ctl::kGeneralList, services) {}

bool CGeneralInfoPage::onInitDialog() {
    const int half = list().clientWidth() / 2;
    setUpLabelValueList(list(), half, half);
    return true;
}

bool CGeneralInfoPage::onSetActive() {
    list().deleteAllRows();
    if (checkAdapter(services()) != AdapterAccess::Ready) return true;

    ui::ListView::FrozenDrawing frozen(list());
    appendAddressRows();
    appendLinkRows();
    appendPciRows();
    return ui::PropertyPage::onSetActive();
}

void CGeneralInfoPage::appendAddressRows() {
    const AdapterInfo& info = services().adapterInfo();
    appendLabelValue(kMacAddress, QString::fromStdString(jobs::ethernetAddressText(info.MacAddress)));

    const jobs::AddressFacts facts = jobs::readAddresses(info.ChipClass);
    if (facts.ipAddress) appendLabelValue(kIpAddress, QString::fromStdString(jobs::ipv4Text(*facts.ipAddress)));
    if (facts.connectionName) appendLabelValue(kConnectionName, QString::fromStdString(*facts.connectionName));
    if (facts.vlanId) appendLabelValue(kVlanId, QString::number(*facts.vlanId));
}

void CGeneralInfoPage::appendLinkRows() {
    const jobs::LinkFacts link = jobs::readLink();
    if (!link.up) {
        appendLabelValue(kLinkStatus, text(kDisconnected));
        return;
    }
    if (link.speedMbps) appendLabelValue(kLinkStatus, linkSpeedText(*link.speedMbps));
    if (link.duplex)
        appendLabelValue(kDuplexMode, text(*link.duplex == jobs::kFullDuplexState ? kFullDuplex : kHalfDuplex));
}

void CGeneralInfoPage::appendPciRows() {
    const AdapterInfo& info = services().adapterInfo();
    if (!jobs::showsPciIdentity(info.ChipClass)) return;
    appendLabelValue(kDeviceLocation, QString::asprintf("Bus: %04X, Slot: %04X", info.Bus, info.Slot));
    appendLabelValue(kVendorId, hex4(info.VendorId));
    appendLabelValue(kDeviceId, hex4(info.DeviceId));
    appendLabelValue(kSubVendorId, hex4(info.SubVendorId));
    appendLabelValue(kSubSystemId, hex4(info.SubSystemId));
    appendLabelValue(kRevisionId, QString::asprintf("%02X", info.RevisionId));
    // All 32 bits, at least four digits: an I/O base above 0xFFFF keeps its fifth digit.
    appendLabelValue(kIoAddress, hex4(info.IoAddress));
    appendLabelValue(kMemoryAddress, QString::asprintf("%08X", info.MemoryAddress));
    appendLabelValue(kInterruptNumber, QString::asprintf("%d", static_cast<int>(info.InterruptNumber)));
}

}  // namespace kv::diag
