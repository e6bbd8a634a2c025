// A tree control: items with text, item data and images from an image list, navigation by
// parent / child / sibling, and selection through one path that asks a selection-changing
// handler first (which may refuse) and signals the new selection afterwards — for the
// user's clicks and keys as for selections made in code. Item texts are never elided: a wider
// item scrolls, and one cut by the edge shows its whole text in a tip (framework/item_text_tips.h).
#pragma once

#include <QTreeWidget>
#include <cstdint>
#include <functional>

namespace kv::ui {

class ImageList;

class TreeControl : public QTreeWidget {
    Q_OBJECT

public:
    enum class Change { Allow, Refuse };

    explicit TreeControl(QWidget* parent = nullptr);

    // Items. A null parent means the root.
    QTreeWidgetItem* insertItem(const QString& text, QTreeWidgetItem* parent = nullptr);
    void deleteAllItems();
    int itemCount() const;
    QString itemText(const QTreeWidgetItem* item) const { return item ? item->text(0) : QString(); }
    void setItemData(QTreeWidgetItem* item, intptr_t data);
    intptr_t itemData(const QTreeWidgetItem* item) const;

    // Navigation; each gives null when there is no such item.
    QTreeWidgetItem* firstRoot() const { return topLevelItem(0); }
    QTreeWidgetItem* lastRoot() const { return topLevelItem(topLevelItemCount() - 1); }
    QTreeWidgetItem* parentItem(QTreeWidgetItem* item) const { return item ? item->parent() : nullptr; }
    QTreeWidgetItem* firstChild(QTreeWidgetItem* item) const;
    QTreeWidgetItem* lastChild(QTreeWidgetItem* item) const;
    QTreeWidgetItem* nextSibling(QTreeWidgetItem* item) const;
    QTreeWidgetItem* previousSibling(QTreeWidgetItem* item) const;

    // Images: indexes into the image list the tree shows (not owned; null for none).
    void setImageList(const ImageList* images);
    const ImageList* imageList() const { return images_; }
    void setItemImage(QTreeWidgetItem* item, int image, int selectedImage);
    int itemImage(const QTreeWidgetItem* item) const;
    int itemSelectedImage(const QTreeWidgetItem* item) const;
    // Shows the images again after the image list changed.
    void refreshImages();

    // The selected item (null when none) and the one way to change it: false when refused.
    QTreeWidgetItem* selectedItem() const { return currentItem(); }
    bool selectItem(QTreeWidgetItem* item);

    // The selection-changing question: Refuse keeps the old item selected.
    std::function<Change(QTreeWidgetItem* from, QTreeWidgetItem* to)> onSelectionChanging;

signals:
    // The selection moved (after onSelectionChanging allowed it).
    void itemSelected(QTreeWidgetItem* from, QTreeWidgetItem* to);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    // The user's clicks and keys move only the current item; the selection follows it in
    // selectItem.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;

private:
    void setCurrentQuietly(QTreeWidgetItem* item);
    void showImage(QTreeWidgetItem* item) const;

    const ImageList* images_ = nullptr;
    bool settingCurrent_ = false;
};

}  // namespace kv::ui
