#include "app/adapter_tree.h"

#include <QHeaderView>

#include "framework/ansi_text.h"
#include "framework/control_id.h"
#include "framework/item_text_tips.h"
#include "resources/images.h"
#include "resources/resource_ids.h"
#include "session/adapter_description.h"

namespace kv::diag {

namespace {

constexpr int kIndexRole = Qt::UserRole;

}  // namespace

AdapterTree::AdapterTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("NicTree"));
    ui::setControlId(this, kAdapterTreeId);
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    ui::keepItemTextsWhole(*this);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) emit adapterSelected(adapterIndexOf(item));
    });
}

void AdapterTree::removeAll() {
    const QSignalBlocker quiet(this);
    clear();
}

QTreeWidgetItem* AdapterTree::appendItem(QTreeWidgetItem* parent, const char* description, int index) {
    auto* item = new QTreeWidgetItem(QStringList{ui::fromAnsi(adapterDescription(description))});
    item->setData(0, kIndexRole, index);
    item->setIcon(0, loadIcon(res::kIconAdapter));
    if (parent) {
        parent->addChild(item);
    } else {
        addTopLevelItem(item);
    }
    return item;
}

void AdapterTree::rebuild(const AdapterList_A& list) {
    const int count = static_cast<int>(std::min<uint32_t>(list.Count, KV_MAX_ADAPTERS));
    setRootIsDecorated(count != 1);
    removeAll();
    for (int i = 0; i < count; ++i) {
        if (list.ParentIndex[i] == -1) appendItem(nullptr, list.Description[i], i);
    }
    for (int i = 0; i < count; ++i) {
        if (list.ParentIndex[i] == -1) continue;
        appendItem(findAdapter(list.ParentIndex[i]), list.Description[i], i);
    }
}

QTreeWidgetItem* AdapterTree::findAdapter(int adapterIndex) {
    for (QTreeWidgetItem* item = topLevelItem(0); item; item = itemBelow(item)) {
        item->setExpanded(true);
        if (adapterIndexOf(item) == adapterIndex) return item;
    }
    return nullptr;
}

int AdapterTree::adapterIndexOf(const QTreeWidgetItem* item) { return item ? item->data(0, kIndexRole).toInt() : -1; }

bool AdapterTree::selectAdapter(int adapterIndex) {
    QTreeWidgetItem* item = findAdapter(adapterIndex);
    if (!item) return false;
    setCurrentItem(item);
    return true;
}

}  // namespace kv::diag
