#include "pages/general_info_page.h"

#include <optional>
#include <string>

#include "framework/ansi_text.h"
#include "framework/list_view.h"
#include "pages/label_value_list.h"
#include "pages/page_guard.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/adapter_session.h"
#include "session/page_services.h"

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

// Chip-class bits of the adapter kinds without an IP address row, and of those with PCI rows.
constexpr uint32_t kNoIpAddressKind = 0x10;
constexpr uint32_t kPciKinds = 0x8E;

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
    const uint8_t* mac = info.MacAddress;
    appendLabelValue(kMacAddress, QString::asprintf("%02x-%02x-%02x-%02x-%02x-%02x", mac[0], mac[1], mac[2], mac[3],
                                                    mac[4], mac[5]));

    AdapterSession& session = services().session();
    if ((info.ChipClass & kNoIpAddressKind) == 0) {
        if (const std::optional<Ipv4Bytes> ip = session.ipAddress())
            appendLabelValue(kIpAddress, QString::asprintf("%d.%d.%d.%d", (*ip)[0], (*ip)[1], (*ip)[2], (*ip)[3]));
    }
    if (const std::optional<std::string> name = session.connectionName())
        appendLabelValue(kConnectionName, ui::fromAnsi(*name));
    if (const std::optional<uint16_t> vlanId = session.vlanId()) appendLabelValue(kVlanId, QString::number(*vlanId));
}

void CGeneralInfoPage::appendLinkRows() {
    const LinkState link = services().session().link();
    if (!link.up) {
        appendLabelValue(kLinkStatus, text(kDisconnected));
        return;
    }
    if (link.mbps) appendLabelValue(kLinkStatus, linkSpeedText(*link.mbps));
    if (link.fullDuplex) appendLabelValue(kDuplexMode, text(*link.fullDuplex ? kFullDuplex : kHalfDuplex));
}

void CGeneralInfoPage::appendPciRows() {
    const AdapterInfo& info = services().adapterInfo();
    if ((info.ChipClass & kPciKinds) == 0) return;
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
