// Kelvadiag: the diagnostic utility's program.
#include <QApplication>
#include <string>
#include <vector>

#include "app/diag_app.h"
#include "framework/message_box.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The window hides in the tray; only its own end ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    kv::ui::QtMessageBoxes::install();
    std::vector<std::string> arguments;
    const QStringList qtArguments = QApplication::arguments();
    for (qsizetype i = 1; i < qtArguments.size(); ++i) arguments.push_back(qtArguments[i].toLocal8Bit().toStdString());
    kv::diag::CDiagApp app;
    if (app.initInstance(arguments)) app.runMainWindow();
    kv::ui::QtMessageBoxes::uninstall();
    return app.exitCode();
}
