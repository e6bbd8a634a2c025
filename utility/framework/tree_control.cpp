#include "framework/tree_control.h"

#include <QHeaderView>
#include <QTreeWidgetItemIterator>

#include "framework/image_list.h"
#include "framework/item_text_tips.h"

namespace kv::ui {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kSelectedImageRole = Qt::UserRole + 3;

int intRole(const QTreeWidgetItem* item, int role) {
    const QVariant value = item ? item->data(0, role) : QVariant();
    return value.isValid() ? value.toInt() : -1;
}
}  // namespace

TreeControl::TreeControl(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(true);
    keepItemTextsWhole(*this);
}

QTreeWidgetItem* TreeControl::insertItem(const QString& text, QTreeWidgetItem* parent) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kDataRole, QVariant::fromValue<qint64>(0));
    const QSignalBlocker quiet(this);
    if (parent) {
        parent->addChild(item);
        parent->setExpanded(true);
    } else {
        addTopLevelItem(item);
    }
    return item;
}

void TreeControl::deleteAllItems() {
    setCurrentQuietly(nullptr);
    const QSignalBlocker quiet(this);
    clear();
}

int TreeControl::itemCount() const {
    int count = 0;
    for (QTreeWidgetItemIterator it(const_cast<TreeControl*>(this)); *it; ++it) ++count;
    return count;
}

void TreeControl::setItemData(QTreeWidgetItem* item, intptr_t data) {
    if (item) item->setData(0, kDataRole, QVariant::fromValue<qint64>(data));
}

intptr_t TreeControl::itemData(const QTreeWidgetItem* item) const {
    return item ? static_cast<intptr_t>(item->data(0, kDataRole).toLongLong()) : 0;
}

QTreeWidgetItem* TreeControl::firstChild(QTreeWidgetItem* item) const {
    if (!item) return firstRoot();
    return item->childCount() > 0 ? item->child(0) : nullptr;
}

QTreeWidgetItem* TreeControl::lastChild(QTreeWidgetItem* item) const {
    if (!item) return lastRoot();
    return item->childCount() > 0 ? item->child(item->childCount() - 1) : nullptr;
}

QTreeWidgetItem* TreeControl::nextSibling(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    if (QTreeWidgetItem* parent = item->parent()) return parent->child(parent->indexOfChild(item) + 1);
    return topLevelItem(indexOfTopLevelItem(item) + 1);
}

QTreeWidgetItem* TreeControl::previousSibling(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    if (QTreeWidgetItem* parent = item->parent()) {
        const int index = parent->indexOfChild(item);
        return index > 0 ? parent->child(index - 1) : nullptr;
    }
    const int index = indexOfTopLevelItem(item);
    return index > 0 ? topLevelItem(index - 1) : nullptr;
}

void TreeControl::setImageList(const ImageList* images) {
    images_ = images;
    if (images_) setIconSize(images_->imageSize());
    refreshImages();
}

void TreeControl::setItemImage(QTreeWidgetItem* item, int image, int selectedImage) {
    if (!item) return;
    const QSignalBlocker quiet(this);
    item->setData(0, kImageRole, image);
    item->setData(0, kSelectedImageRole, selectedImage);
    showImage(item);
}

int TreeControl::itemImage(const QTreeWidgetItem* item) const { return intRole(item, kImageRole); }
int TreeControl::itemSelectedImage(const QTreeWidgetItem* item) const { return intRole(item, kSelectedImageRole); }

void TreeControl::showImage(QTreeWidgetItem* item) const {
    QIcon icon;
    if (images_) {
        const QPixmap normal = images_->image(itemImage(item));
        const QPixmap selected = images_->image(itemSelectedImage(item));
        if (!normal.isNull()) icon.addPixmap(normal, QIcon::Normal);
        if (!selected.isNull()) icon.addPixmap(selected, QIcon::Selected);
    }
    item->setIcon(0, icon);
}

void TreeControl::refreshImages() {
    const QSignalBlocker quiet(this);
    for (QTreeWidgetItemIterator it(this); *it; ++it) showImage(*it);
}

bool TreeControl::selectItem(QTreeWidgetItem* item) {
    QTreeWidgetItem* from = currentItem();
    if (item == from) return true;
    if (onSelectionChanging && onSelectionChanging(from, item) == Change::Refuse) return false;
    setCurrentQuietly(item);
    emit itemSelected(from, item);
    return true;
}

void TreeControl::setCurrentQuietly(QTreeWidgetItem* item) {
    settingCurrent_ = true;
    if (item) {
        setCurrentItem(item);
    } else {
        setCurrentIndex(QModelIndex());
        clearSelection();
    }
    settingCurrent_ = false;
}

void TreeControl::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeWidget::currentChanged(current, previous);
    if (settingCurrent_) return;
    // The user moved the selection: put the old item back and go through selectItem, which asks
    // the selection-changing handler first.
    QTreeWidgetItem* target = itemFromIndex(current);
    setCurrentQuietly(itemFromIndex(previous));
    selectItem(target);
}

QItemSelectionModel::SelectionFlags TreeControl::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    if (event && !settingCurrent_) return QItemSelectionModel::NoUpdate;
    return QTreeWidget::selectionCommand(index, event);
}

}  // namespace kv::ui
