// The list box and the drop-down combo box: strings with item data, optionally kept sorted
// (case-insensitively, a new string after its equals), and a selection that code sets quietly
// while the user's changes are notified.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <cstdint>
#include <functional>

namespace kv::ui {

// Where a string goes in a sorted list of `count` strings read through `textAt`.
int sortedInsertPosition(int count, const std::function<QString(int)>& textAt, const QString& text);

class ListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    void setSorted(bool on) { sorted_ = on; }
    // Adds the string (at its sorted place when sorted, else at the end); returns its index.
    int addString(const QString& text);
    void resetContent();
    int itemCountLb() const { return count(); }
    QString text(int index) const;
    void setItemData(int index, intptr_t data);
    intptr_t itemData(int index) const;
    // The selected entry, -1 when none; setting it does not notify.
    int currentSelection() const { return currentRow(); }
    void setCurrentSelection(int index);

signals:
    // The user changed the selection.
    void selectionChangedByUser();

private:
    bool sorted_ = false;
    bool quiet_ = false;
};

class ComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ComboBox(QWidget* parent = nullptr);

    void setSorted(bool on) { sorted_ = on; }
    int addString(const QString& text);
    void resetContent() { clear(); }
    QString text(int index) const { return itemText(index); }
    void setItemDataValue(int index, intptr_t data);
    intptr_t itemDataValue(int index) const;
    int currentSelection() const { return currentIndex(); }
    void setCurrentSelection(int index) { setCurrentIndex(index); }

private:
    bool sorted_ = false;
};

}  // namespace kv::ui
