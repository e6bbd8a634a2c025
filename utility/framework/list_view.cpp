#include "framework/list_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "framework/item_text_tips.h"

namespace kv::ui {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;
constexpr int kCheckedRole = Qt::UserRole + 2;
constexpr int kHighlightRole = Qt::UserRole + 3;
}  // namespace

// Draws the grid lines and opens the label editor only when the list's handler allows it.
class ListViewDelegate : public QStyledItemDelegate {
public:
    explicit ListViewDelegate(ListView& list) : QStyledItemDelegate(&list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem cell(option);
        if (index.data(kHighlightRole).toBool()) {
            cell.state |= QStyle::State_Selected;
        }
        QStyledItemDelegate::paint(painter, cell, index);
        if (!list_.hasGridLines()) return;
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != 0 || !list_.beginLabelEdit(index.row())) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line || list_.editingRow_ < 0) return;
        if (list_.commitLabelEdit(index.row(), line->text())) model->setData(index, line->text());
    }

private:
    ListView& list_;
};

ListView::ListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideRight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    setItemDelegate(new ListViewDelegate(*this));
    connect(this, &QTreeWidget::itemChanged, this, &ListView::onItemChanged);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        const int selected = selectedRow();
        if (selected >= 0) emit rowSelected(selected);
    });
}

ListView::~ListView() = default;

void ListView::setCheckBoxes(bool on) {
    checkBoxes_ = on;
    for (int i = 0; i < rowCount(); ++i) applyRowFlags(row(i));
}

void ListView::setGridLines(bool on) {
    gridLines_ = on;
    viewport()->update();
}

void ListView::setFullRowSelect(bool on) {
    fullRowSelect_ = on;
    setAllColumnsShowFocus(on);
}

void ListView::setEditLabels(bool on) {
    editLabels_ = on;
    setEditTriggers(on ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                       : QAbstractItemView::NoEditTriggers);
    for (int i = 0; i < rowCount(); ++i) applyRowFlags(row(i));
}

void ListView::setSingleSelection(bool on) {
    setSelectionMode(on ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
}

int ListView::clientWidth() const { return contentsRect().width(); }

int ListView::addColumn(const QString& text, int width, Qt::Alignment alignment) {
    const int column = columnCount();
    setColumnCount(column + 1);
    headerItem()->setText(column, text);
    headerItem()->setTextAlignment(column, alignment | Qt::AlignVCenter);
    setColumnWidth(column, width);
    alignments_.push_back(alignment);
    return column;
}

QTreeWidgetItem* ListView::row(int index) const { return topLevelItem(index); }

void ListView::applyRowFlags(QTreeWidgetItem* item) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (checkBoxes_) flags |= Qt::ItemIsUserCheckable;
    if (editLabels_) flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    if (checkBoxes_ && !item->data(0, Qt::CheckStateRole).isValid()) {
        item->setData(0, kCheckedRole, false);
        item->setCheckState(0, Qt::Unchecked);
    }
}

int ListView::insertRow(int at, const QString& text, intptr_t data) {
    if (at < 0 || at > rowCount()) at = rowCount();
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    item->setData(0, kDataRole, QVariant::fromValue<qint64>(data));
    for (size_t column = 0; column < alignments_.size(); ++column) {
        item->setTextAlignment(static_cast<int>(column), alignments_[column] | Qt::AlignVCenter);
    }
    {
        const QSignalBlocker quiet(this);
        applyRowFlags(item);
        insertTopLevelItem(at, item);
    }
    return at;
}

void ListView::deleteRow(int index) { delete takeTopLevelItem(index); }

void ListView::deleteAllRows() {
    const QSignalBlocker quiet(this);
    clear();
}

void ListView::setItemText(int index, int column, const QString& text) {
    if (QTreeWidgetItem* item = row(index)) item->setText(column, text);
}

QString ListView::itemText(int index, int column) const {
    const QTreeWidgetItem* item = row(index);
    return item ? item->text(column) : QString();
}

void ListView::setItemData(int index, intptr_t data) {
    if (QTreeWidgetItem* item = row(index)) item->setData(0, kDataRole, QVariant::fromValue<qint64>(data));
}

intptr_t ListView::itemData(int index) const {
    const QTreeWidgetItem* item = row(index);
    return item ? static_cast<intptr_t>(item->data(0, kDataRole).toLongLong()) : 0;
}

bool ListView::isChecked(int index) const {
    const QTreeWidgetItem* item = row(index);
    return item && item->checkState(0) == Qt::Checked;
}

void ListView::setChecked(int index, bool checked) {
    if (QTreeWidgetItem* item = row(index)) item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

int ListView::selectedRow() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.first());
}

void ListView::selectRow(int index) {
    if (QTreeWidgetItem* item = row(index)) setCurrentItem(item);
}

void ListView::setHighlighted(int index, bool on) {
    if (QTreeWidgetItem* item = row(index)) {
        const QSignalBlocker quiet(this);
        item->setData(0, kHighlightRole, on);
        for (int column = 1; column < columnCount(); ++column) item->setData(column, kHighlightRole, on);
    }
}

bool ListView::isHighlighted(int index) const {
    const QTreeWidgetItem* item = row(index);
    return item && item->data(0, kHighlightRole).toBool();
}

void ListView::clearHighlights() {
    for (int i = 0; i < rowCount(); ++i) setHighlighted(i, false);
}

void ListView::onItemChanged(QTreeWidgetItem* item, int column) {
    if (column != 0 || !checkBoxes_) return;
    const bool checked = item->checkState(0) == Qt::Checked;
    if (item->data(0, kCheckedRole).toBool() == checked) return;
    {
        const QSignalBlocker quiet(this);
        item->setData(0, kCheckedRole, checked);
    }
    emit checkChanged(indexOfTopLevelItem(item));
}

void ListView::editLabel(int index) {
    QTreeWidgetItem* item = row(index);
    if (!item || !editLabels_) return;
    setFocus();
    editItem(item, 0);
}

QLineEdit* ListView::labelEditor() const {
    if (editingRow_ < 0) return nullptr;
    return qobject_cast<QLineEdit*>(indexWidget(model()->index(editingRow_, 0)));
}

bool ListView::beginLabelEdit(int index) {
    if (editingRow_ >= 0) return false;
    if (onBeginLabelEdit && !onBeginLabelEdit(index)) return false;
    editingRow_ = index;
    return true;
}

bool ListView::commitLabelEdit(int index, const QString& text) {
    editingRow_ = -1;
    return !onEndLabelEdit || onEndLabelEdit(index, text);
}

void ListView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const int index = editingRow_;
    editingRow_ = -1;
    QTreeWidget::closeEditor(editor, hint);
    // Closed without a commit: the edit was cancelled.
    if (index >= 0 && onEndLabelEdit) onEndLabelEdit(index, std::nullopt);
}

QString ListView::infoTip(int index) const {
    return infoTips_ && onInfoTip && index >= 0 && index < rowCount() ? onInfoTip(index) : QString();
}

QString ListView::cellTip(const QModelIndex& cell) const {
    if (!cell.isValid()) return {};
    const QString tip = infoTip(cell.row());
    if (!tip.isEmpty()) return tip;
    return isItemTextCut(*this, cell) ? cell.data(Qt::DisplayRole).toString() : QString();
}

bool ListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto& help = static_cast<const QHelpEvent&>(*event);
        const QModelIndex cell = indexAt(help.pos());
        showItemTip(*this, cell, help, cellTip(cell));
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

QString ListView::selectedRowsText() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : selectedItems()) rows.push_back(indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (int index : rows) {
        QStringList cells;
        for (int column = 0; column < columnCount(); ++column) {
            if (!isColumnHidden(column)) cells << itemText(index, column);
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

void ListView::copySelectedRows() const {
    const QString text = selectedRowsText();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void ListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelectedRows();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

ListView::FrozenDrawing::FrozenDrawing(ListView& list) : list_(list) {
    if (list_.freezeDepth_++ == 0) list_.setUpdatesEnabled(false);
}

ListView::FrozenDrawing::~FrozenDrawing() {
    if (--list_.freezeDepth_ == 0) {
        list_.setUpdatesEnabled(true);
        list_.viewport()->update();
    }
}

}  // namespace kv::ui
