#include "framework/item_text_tips.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>
#include <QTreeView>

namespace kv::ui {

namespace {

// The width the item's content (check box, icon, text and margins) takes when drawn whole.
int contentWidth(const QAbstractItemView& view, const QModelIndex& index) {
    const QAbstractItemDelegate* delegate = view.itemDelegateForIndex(index);
    if (!delegate) return 0;
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = view.fontMetrics();
    const int small = view.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &view);
    option.decorationSize = view.iconSize().isValid() ? view.iconSize() : QSize(small, small);
    option.rect = view.visualRect(index);
    option.widget = &view;
    return delegate->sizeHint(option, index).width();
}

// Shows the whole text of an item that the tree's edge cuts, while the pointer rests on it.
class WholeTextTips : public QObject {
public:
    explicit WholeTextTips(QTreeView& tree) : QObject(&tree), tree_(tree) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The type first: while the tree is being destroyed its viewport still has events, and
        // the tree must not be asked anything then.
        if (event->type() != QEvent::ToolTip || watched != tree_.viewport()) return false;
        const auto& help = static_cast<const QHelpEvent&>(*event);
        const QModelIndex index = tree_.indexAt(help.pos());
        // An item with a tip of its own, or one shown whole, is left to the tree.
        if (!index.isValid() || !index.data(Qt::ToolTipRole).toString().isEmpty() || !isItemTextCut(tree_, index))
            return false;
        showItemTip(tree_, index, help, index.data(Qt::DisplayRole).toString());
        return true;
    }

private:
    QTreeView& tree_;
};

}  // namespace

void keepItemTextsWhole(QTreeView& tree) {
    tree.setTextElideMode(Qt::ElideNone);
    tree.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    tree.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The column follows the widest item shown, so a wider one scrolls instead of being cut.
    tree.header()->setStretchLastSection(false);
    tree.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree.viewport()->installEventFilter(new WholeTextTips(tree));
}

bool isItemTextCut(const QAbstractItemView& view, const QModelIndex& index) {
    const QRect cell = view.visualRect(index);
    if (cell.isEmpty()) return false;
    const int width = contentWidth(view, index);
    const QRect drawn(cell.topLeft(), QSize(width, cell.height()));
    return width > cell.width() || !view.viewport()->rect().contains(drawn);
}

void showItemTip(const QAbstractItemView& view, const QModelIndex& index, const QHelpEvent& event, const QString& tip) {
    if (tip.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(event.globalPos(), tip, view.viewport(), view.visualRect(index));
}

}  // namespace kv::ui
