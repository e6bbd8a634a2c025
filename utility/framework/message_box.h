// Message boxes. One routine serves the utility's own boxes and the library's: both go through
// kv::platform::messageBoxes(). On the simulated host the box is traced and handed to the
// presenter the program installs (QtMessageBoxes below), which shows it as a QMessageBox on the
// user-interface thread — a box asked for by a worker thread is shown there while the worker
// waits for the answer. On Windows the system shows the boxes itself.
#pragma once

#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <functional>

#include "kv/platform/ui.h"

namespace kv::ui {

namespace mb = kv::platform::mb;

// Shows a box from any thread and returns the id of the button pressed (mb::kIdOk, ...).
int messageBox(const QString& text, const QString& caption, uint32_t flags = mb::kOk);
// The same with the program's caption (setMessageBoxCaption; the application name by default).
int messageBox(const QString& text, uint32_t flags = mb::kOk);
void setMessageBoxCaption(const QString& caption);
QString messageBoxCaption();

class QtMessageBoxes {
public:
    // Makes the platform's boxes QMessageBoxes (kv::platform::setMessageBoxPresenter).
    static void install();
    static void uninstall();

    // The presenter: from any thread; the box is shown on the user-interface thread.
    static int present(std::u16string_view text, std::u16string_view caption, uint32_t flags);

    // Who answers a box once it is built: by default the user (the box runs modal). Tests put an
    // answerer here that reads the box and picks a button, so no box ever blocks them.
    using Answerer = std::function<QMessageBox::StandardButton(QMessageBox& box)>;
    static void setAnswerer(Answerer answerer);

    // The buttons and icon a box of these flags shows.
    static QMessageBox::StandardButtons buttonsOf(uint32_t flags);
    static QMessageBox::Icon iconOf(uint32_t flags);
    // The platform's id of a button (mb::kIdOk, mb::kIdYes, ...).
    static int idOf(QMessageBox::StandardButton button, uint32_t flags);
};

}  // namespace kv::ui
