// The adapter tree "NicTree" (control id 28673) on the main window's left: one item per adapter
// of the library's list, each carrying its list index, with the adapter icon (res::kIconAdapter).
#pragma once

#include <QTreeWidget>

#include "kelvalib.h"

namespace kv::diag {

inline constexpr int kAdapterTreeId = 28673;

class AdapterTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit AdapterTree(QWidget* parent);

    // Rebuilds the items from the list: lines at the root unless there is exactly one adapter,
    // then the root entries (ParentIndex -1) and the children under the entries they name, both
    // in list order. Nothing is selected afterwards.
    void rebuild(const AdapterList_A& list);
    void removeAll();

    // Walks the items in visible order from the first root item, expanding each one it passes,
    // until one carries that adapter index; null when none does.
    QTreeWidgetItem* findAdapter(int adapterIndex);
    // The adapter index an item carries.
    static int adapterIndexOf(const QTreeWidgetItem* item);

    // Selects the item of that adapter, which reports the selection change; false when no item
    // carries it.
    bool selectAdapter(int adapterIndex);

signals:
    // The user or the program selected an item.
    void adapterSelected(int adapterIndex);

private:
    QTreeWidgetItem* appendItem(QTreeWidgetItem* parent, const char* description, int index);
};

}  // namespace kv::diag
