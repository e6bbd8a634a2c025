#include "app/diag_app.h"

#include <QEventLoop>

#include "app/all_pages_mode.h"
#include "app/command_line.h"
#include "app/diag_sheet.h"
#include "app/driver_preparation.h"
#include "app/window_protocol.h"
#include "framework/message_box.h"
#include "kv/platform/system.h"

namespace kv::diag {

namespace {
constexpr int kStartProblemExitCode = 78;
}  // namespace

CDiagApp::CDiagApp() = default;
CDiagApp::~CDiagApp() = default;

bool CDiagApp::initInstance(const std::vector<std::string>& arguments) {
    return initInstance(arguments, SheetEnvironment::ofThisProcess());
}

bool CDiagApp::initInstance(const std::vector<std::string>& arguments, const SheetEnvironment& environment) {
    // A computer that cannot start (on the simulated host, a broken machine directory): its reason
    // in a box, and the program ends, as a window over no computer could show and do nothing.
    if (const std::string problem = platform::system().startProblem(); !problem.empty()) {
        ui::messageBox(QString::fromStdString(problem), ui::mb::kOk | ui::mb::kIconError);
        exitCode_ = kStartProblemExitCode;  // as the simulated host ends the programs that do not ask
        return false;
    }
    if (wakeRunningInstance()) return false;
    prepareOlderProtocolDriver();
    const CommandLine commandLine = parseCommandLine(arguments);
    mainWindow_ =
        std::make_unique<CDiagSheet>(environment, allPagesMode(commandLine.allPages) ? allPagesTable() : pageTable());
    if (!processCommandLine(commandLine)) {
        mainWindow_.reset();
        exitCode_ = 1;
        return false;
    }
    mainWindow_->setHiddenStart(commandLine.hiddenStart);
    return true;
}

void CDiagApp::runMainWindow() {
    if (!mainWindow_) return;
    // The sheet's own loop, ended only by the sheet's end: hiding the window in the tray must
    // not end it, as hiding ends a dialog's exec().
    CDiagSheet& sheet = *mainWindow_;
    sheet.createWindow();
    QEventLoop loop;
    QObject::connect(&sheet, &QDialog::finished, &loop, &QEventLoop::quit);
    sheet.show();
    loop.exec();
    sheet.destroyWindow();
    mainWindow_.reset();
}

}  // namespace kv::diag
