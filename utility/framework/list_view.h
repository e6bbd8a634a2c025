// The report-style list view every page uses: columns by width, rows with item data, check
// boxes, full-row select, grid lines, a hidden header, label editing with begin / end handlers
// that accept or refuse, info tips, and drawing frozen during a refresh. A cell too narrow for its
// text shows it elided with "..." and whole in its tip; Ctrl+C copies the selected rows as text.
#pragma once

#include <QLineEdit>
#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kv::ui {

class ListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    // Styles.
    void setCheckBoxes(bool on);
    bool hasCheckBoxes() const { return checkBoxes_; }
    void setGridLines(bool on);
    bool hasGridLines() const { return gridLines_; }
    void setFullRowSelect(bool on);
    bool hasFullRowSelect() const { return fullRowSelect_; }
    void setEditLabels(bool on);
    bool hasEditLabels() const { return editLabels_; }
    void setSingleSelection(bool on);
    void setInfoTips(bool on) { infoTips_ = on; }
    // setHeaderHidden (QTreeView) hides the column header.

    // The width inside the list's border, the base of column widths.
    int clientWidth() const;
    // Appends a column; returns its index.
    int addColumn(const QString& text, int width, Qt::Alignment alignment = Qt::AlignLeft);

    // Rows.
    int rowCount() const { return topLevelItemCount(); }
    // Inserts a row before `at` (at the end when `at` is out of range); returns its index.
    int insertRow(int at, const QString& text, intptr_t data = 0);
    int appendRow(const QString& text, intptr_t data = 0) { return insertRow(rowCount(), text, data); }
    void deleteRow(int row);
    void deleteAllRows();
    void setItemText(int row, int column, const QString& text);
    QString itemText(int row, int column) const;
    void setItemData(int row, intptr_t data);
    intptr_t itemData(int row) const;
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    // The selected row, -1 when none.
    int selectedRow() const;
    void selectRow(int row);
    // The drop-highlight state: a row marked while something is done with it.
    void setHighlighted(int row, bool on);
    bool isHighlighted(int row) const;
    void clearHighlights();

    // Label editing (with setEditLabels): editLabel asks onBeginLabelEdit, which may refuse.
    void editLabel(int row);
    bool isEditingLabel() const { return editingRow_ >= 0; }
    int editingRow() const { return editingRow_; }
    QLineEdit* labelEditor() const;

    // Handlers: the questions the list asks, whose answer it follows.
    // A label edit is about to start: false refuses it.
    std::function<bool(int row)> onBeginLabelEdit;
    // A label edit ended: the new text, or nullopt when it was cancelled. True accepts the text
    // (the row then shows it); false keeps the old label.
    std::function<bool(int row, const std::optional<QString>& text)> onEndLabelEdit;
    // The tip of a row, asked when the pointer rests on it (with setInfoTips).
    std::function<QString(int row)> onInfoTip;
    QString infoTip(int row) const;
    // The tip shown for a cell: the row's info tip when it has one, else the cell's whole text
    // when the cell elides it, else none.
    QString cellTip(const QModelIndex& cell) const;

    // The selected rows in row order, each as its visible columns' texts joined by tabs, the rows
    // joined by line breaks: what Ctrl+C puts on the clipboard.
    QString selectedRowsText() const;
    void copySelectedRows() const;

    // Drawing stays frozen while an instance lives; the list repaints once when it ends.
    class FrozenDrawing {
    public:
        explicit FrozenDrawing(ListView& list);
        ~FrozenDrawing();
        FrozenDrawing(const FrozenDrawing&) = delete;
        FrozenDrawing& operator=(const FrozenDrawing&) = delete;

    private:
        ListView& list_;
    };
    bool isDrawingFrozen() const { return freezeDepth_ > 0; }

signals:
    // A row's check box changed (the user's click or setChecked).
    void checkChanged(int row);
    // A row became the selected one.
    void rowSelected(int row);

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class ListViewDelegate;
    QTreeWidgetItem* row(int index) const;
    void applyRowFlags(QTreeWidgetItem* item) const;
    void onItemChanged(QTreeWidgetItem* item, int column);
    bool beginLabelEdit(int row);
    bool commitLabelEdit(int row, const QString& text);

    bool checkBoxes_ = false;
    bool gridLines_ = false;
    bool fullRowSelect_ = false;
    bool editLabels_ = false;
    bool infoTips_ = false;
    int editingRow_ = -1;
    int freezeDepth_ = 0;
    std::vector<Qt::Alignment> alignments_;
};

}  // namespace kv::ui
