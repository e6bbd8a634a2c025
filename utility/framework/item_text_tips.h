// Item texts that do not fit where they are drawn. A tree never elides: its column is as wide as
// its widest item, so a wider item gives the tree a horizontal scroll bar, and an item cut by the
// tree's edge shows its whole text in a tip while the pointer rests on it. A report list elides a
// cell that is too narrow with "..." and shows the cell's whole text as its tip.
#pragma once

#include <QModelIndex>
#include <QPoint>
#include <QString>

class QAbstractItemView;
class QHelpEvent;
class QTreeView;

namespace kv::ui {

// Makes the tree keep every item text whole (see above); the tips live as long as the tree.
void keepItemTextsWhole(QTreeView& tree);

// True when the item's text is not shown whole: elided in its cell, or cut by the view's edge.
bool isItemTextCut(const QAbstractItemView& view, const QModelIndex& index);

// Shows `tip` for the pointer's resting place in the view's viewport (hides any tip when it is
// empty); the tip goes when the pointer leaves the item.
void showItemTip(const QAbstractItemView& view, const QModelIndex& index, const QHelpEvent& event, const QString& tip);

}  // namespace kv::ui
