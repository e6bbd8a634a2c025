// The read-only two-column list of the information pages: a label and a value per row, grid
// lines, full-row select and no column header.
#pragma once

#include <QString>

namespace kv::ui {
class ListView;
}

namespace kv::diag {

// Report view without header, grid lines and full-row select, the columns "Item" and "Value".
void setUpLabelValueList(ui::ListView& list, int labelWidth, int valueWidth);
// Appends a row after the last one.
void appendLabelValue(ui::ListView& list, const QString& label, const QString& value);

}  // namespace kv::diag
