// The application object: the start-up sequence of the utility. A second start only wakes the
// running instance; on Windows 5.x the older protocol driver is prepared first; then the main
// window runs as a modal sheet and the program ends when it closes.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kv::diag {

class CDiagSheet;
struct SheetEnvironment;

class CDiagApp {
public:
    CDiagApp();
    ~CDiagApp();

    // The start-up sequence up to the main window object; `arguments` without the program name.
    // False when the program ends here: another instance was woken (exit code 0), or the command
    // line cannot be processed (exit code 1).
    bool initInstance(const std::vector<std::string>& arguments);
    bool initInstance(const std::vector<std::string>& arguments, const SheetEnvironment& environment);
    // Runs the main window as the modal sheet, then destroys it.
    void runMainWindow();
    int exitCode() const { return exitCode_; }

    // The main window object while it exists.
    CDiagSheet* mainWindow() const { return mainWindow_.get(); }

private:
    std::unique_ptr<CDiagSheet> mainWindow_;
    int exitCode_ = 0;
};

}  // namespace kv::diag
