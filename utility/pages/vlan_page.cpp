#include "pages/vlan_page.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "framework/ansi_text.h"
#include "framework/list_view.h"
#include "framework/message_box.h"
#include "kv/jobs/string_table.h"
#include "kv/jobs/vlans.h"
#include "pages/page_guard.h"
#include "pages/vlan_id_text.h"
#include "pages/vlan_workers.h"
#include "resources/dialog_templates.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "session/adapter_description.h"
#include "session/adapter_session.h"
#include "session/page_services.h"

namespace kv::diag {

namespace ctl = res::ctl;
namespace mb = ui::mb;

namespace {

using namespace res::str::vlan;

// The adapter name column takes the rest of the list and then some.
constexpr int kAdapterNameExtraWidth = 150;

bool askYes(const QString& question) { return ui::messageBox(question, mb::kYesNo) == mb::kIdYes; }

}  // namespace

CVlanPage::CVlanPage(PageServices& services) : ListPage(vlanDialog(), ctl::kVlanList, services) {}

bool CVlanPage::onInitDialog() {
    ui::ListView& view = list();
    view.setSingleSelection(true);
    view.setEditLabels(true);
    view.setFullRowSelect(true);
    const int tenth = view.clientWidth() / 10;
    view.addColumn(loadString(kVlanIdColumn), 2 * tenth);
    view.addColumn(loadString(kConnectionNameColumn), 4 * tenth);
    view.addColumn(loadString(kAdapterNameColumn), 4 * tenth + kAdapterNameExtraWidth);
    connect(&view, &ui::ListView::rowSelected, this, [this](int row) { selectedRow_ = row; });
    view.onBeginLabelEdit = [this](int row) { return beginLabelEdit(row); };
    view.onEndLabelEdit = [this](int row, const std::optional<QString>& text) { return endLabelEdit(row, text); };
    return true;
}

bool CVlanPage::onSetActive() {
    const int selected = services().selectedAdapterIndex();
    selectedRow_ = -1;
    editMode_ = kNoEdit;
    if (checkAdapter(services()) != AdapterAccess::Ready) return true;
    // Only the second number of the version tells the driver generations apart; an unknown
    // version is refused too.
    if (services().driverVersionNumber() < kFirstVlanDriverVersion) {
        ui::messageBox(QStringLiteral("You have to update the network adapter driver to Version 5.611 or later."));
        return false;
    }
    list().deleteAllRows();
    bool complete = false;
    {
        const ui::ListView::FrozenDrawing frozen(list());
        complete = appendVlanRows(selected);
    }
    // An adapter that could not be selected: the window lists the adapters again, which brings
    // the page back with them.
    if (!complete) return true;
    // The row where a new VLAN ID is typed.
    list().appendRow(QString(), 0);
    return ui::PropertyPage::onSetActive();
}

// Each VLAN of the adapter is read as the library's current adapter, selected through the adapter
// session; the adapter is current again at the end. A VLAN that cannot be selected means the
// adapters changed under the list: false, and the window lists them again (the rows read so far
// stay).
bool CVlanPage::appendVlanRows(int parentIndex) {
    const AdapterList_A& adapters = services().adapterList();
    AdapterSession& session = services().session();
    const size_t count = std::min<uint32_t>(adapters.Count, KV_MAX_ADAPTERS);
    const jobs::VlanListing listing = jobs::listVlans(std::span(adapters.ParentIndex, count), parentIndex,
                                                      [&session](int index) { return session.select(index); });
    for (const jobs::VlanRow& vlan : listing.vlans) {
        const int row = list().appendRow(QString::number(vlan.vlanId), vlan.adapterIndex);
        if (vlan.connectionName) list().setItemText(row, 1, QString::fromStdString(*vlan.connectionName));
        list().setItemText(row, 2, ui::fromAnsi(adapterDescription(adapters.Description[vlan.adapterIndex])));
    }
    if (!listing.complete) services().requestAdapterListRefresh();
    return listing.complete;
}

void CVlanPage::onCommand(int id, int notification) {
    if (notification != ui::notify::kClicked) return;
    switch (id) {
        case ctl::kVlanAdd:
            return addVlan();
        case ctl::kVlanDelete:
            return deleteVlan();
        case ctl::kVlanModifyVid:
            return modifyVid();
        default:
            return;
    }
}

void CVlanPage::addVlan() {
    editMode_ = kAdding;
    list().setFocus();
    list().editLabel(list().rowCount() - 1);
}

void CVlanPage::modifyVid() {
    editMode_ = kChanging;
    list().setFocus();
    list().editLabel(selectedRow_);  // no row selected: no edit
}

void CVlanPage::deleteVlan() {
    if (!isVlanRow(selectedRow_)) return;
    const QString shown = list().itemText(selectedRow_, 0);
    if (!askYes(QString::asprintf("Do you want delete VLAN %s?", shown.toUtf8().constData()))) return;
    const auto adapterIndex = static_cast<uint32_t>(list().itemData(selectedRow_));
    services().watchWorker(startVlanDelete(adapterIndex), true, true);
}

// Every row but the empty last one.
bool CVlanPage::isVlanRow(int row) const { return row >= 0 && row < list().rowCount() - 1; }

// Labels are edited only through the buttons: a new ID in the last row, a changed one over a VLAN.
bool CVlanPage::beginLabelEdit(int row) const {
    if (editMode_ == kAdding) return row == list().rowCount() - 1;
    if (editMode_ == kChanging) return isVlanRow(row);
    return false;
}

// The new label stays only when a worker has been started for it.
bool CVlanPage::endLabelEdit(int row, const std::optional<QString>& text) {
    const EditMode mode = std::exchange(editMode_, kNoEdit);
    if (!text) return false;
    const std::optional<int> vlanId = vlanIdFromText(text->toStdString());
    if (!vlanId) {
        ui::messageBox(QStringLiteral("Please input VLAN ID in the range: 1 ~ 4094."));
        return false;
    }
    if (mode == kAdding) return startAdd(*vlanId);
    if (mode == kChanging) return startChange(row, *vlanId);
    return false;
}

bool CVlanPage::startAdd(int vlanId) {
    if (!askYes(QString::asprintf("Do you want add VLAN %d?", vlanId))) return false;
    ui::WorkerHandle worker = startVlanAdd(static_cast<uint32_t>(vlanId));
    if (!worker) return false;
    services().watchWorker(std::move(worker), true, true);
    return true;
}

// The row edited is the VLAN whose ID changes ("Modify VID" edits the selected row).
bool CVlanPage::startChange(int row, int vlanId) {
    const QString shown = list().itemText(row, 0);
    if (!askYes(QString::asprintf("Change VLAN ID from %s to %d?", shown.toUtf8().constData(), vlanId))) return false;
    auto request = std::make_unique<VlanIdChange>();
    request->adapterIndex = static_cast<uint32_t>(list().itemData(row));
    request->vlanId = static_cast<uint16_t>(vlanId);
    ui::WorkerHandle worker = startVlanIdChange(std::move(request), services());
    if (!worker) return false;
    // The row shows the new ID at once; only a refused change lists the adapters again.
    services().watchWorker(std::move(worker), false, true);
    return true;
}

}  // namespace kv::diag
