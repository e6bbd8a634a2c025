// "Save Report..." of the adapter tree's menu: asks where to save, then writes the selected
// adapter's support report there, the same text as `kelvactl report ADAPTER`.
#pragma once

#include <QMenu>
#include <QString>
#include <functional>

class QWidget;

namespace kv::diag {

// Appends the command to the adapter tree's menu, after a separator.
void appendSaveReportItem(QMenu& menu);

// The file dialog, then the report of the adapter (the library's channel open) as text. False
// when the user chose no file or the file cannot be written (a box says so then).
bool saveSupportReport(QWidget* owner, int adapterIndex);

// Who chooses the file: by default the user in a file dialog; a test returns a path (or an empty
// text for a cancelled dialog), so no dialog ever blocks it. An empty chooser brings the dialog
// back.
using SaveFileChooser = std::function<QString(QWidget* owner, const QString& suggestedName)>;
void setSaveFileChooser(SaveFileChooser chooser);

}  // namespace kv::diag
