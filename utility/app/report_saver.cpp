#include "app/report_saver.h"

#include <QFile>
#include <QFileDialog>

#include "framework/busy_cursor.h"
#include "framework/message_box.h"
#include "kv/jobs/support_report.h"
#include "resources/resource_ids.h"

namespace kv::diag {

namespace {

SaveFileChooser& chooser() {
    static SaveFileChooser instance;
    return instance;
}

QString chooseFile(QWidget* owner, const QString& suggestedName) {
    if (chooser()) return chooser()(owner, suggestedName);
    return QFileDialog::getSaveFileName(owner, QStringLiteral("Save Report"), suggestedName,
                                        QStringLiteral("Text files (*.txt);;All files (*)"));
}

}  // namespace

void setSaveFileChooser(SaveFileChooser presenter) { chooser() = std::move(presenter); }

void appendSaveReportItem(QMenu& menu) {
    menu.addSeparator();
    menu.addAction(QStringLiteral("Save &Report..."))->setData(res::kCmdSaveReport);
}

bool saveSupportReport(QWidget* owner, int adapterIndex) {
    const QString path = chooseFile(owner, QStringLiteral("Kelvadiag report.txt"));
    if (path.isEmpty()) return false;
    std::string text;
    {
        // The EEPROM is read bit by bit: some seconds.
        const ui::BusyCursor busy;
        text = jobs::supportReportText(jobs::gatherSupportReport(0, adapterIndex));
    }
    QFile file(path);
    // Text mode: the line ends of the system the report is read on.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) ||
        file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        ui::messageBox(QStringLiteral("The report cannot be saved to ") + path + QStringLiteral("."));
        return false;
    }
    return true;
}

}  // namespace kv::diag
