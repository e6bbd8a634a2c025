#include "pages/label_value_list.h"

#include "framework/list_view.h"

namespace kv::diag {

void setUpLabelValueList(ui::ListView& list, int labelWidth, int valueWidth) {
    list.setHeaderHidden(true);
    list.setGridLines(true);
    list.setFullRowSelect(true);
    // The header is hidden, so these texts never show.
    list.addColumn(QStringLiteral("Item"), labelWidth);
    list.addColumn(QStringLiteral("Value"), valueWidth);
}

void appendLabelValue(ui::ListView& list, const QString& label, const QString& value) {
    const int row = list.appendRow(label);
    list.setItemText(row, 1, value);
}

}  // namespace kv::diag
