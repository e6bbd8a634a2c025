// A dialog laid out from its template: the window (its controls) is created on demand and may be
// destroyed and created again; controls are found by id; button clicks, edit changes and list
// selections reach onCommand with the control's id and the notification; window timers reach
// onTimer.
#pragma once

#include <QWidget>
#include <vector>

#include "framework/control_id.h"
#include "framework/dialog_template.h"
#include "framework/dialog_units.h"
#include "framework/window_timers.h"

namespace kv::ui {

// Notifications that come with a command.
namespace notify {
inline constexpr int kClicked = 0;     // a button, check box or radio button was clicked
inline constexpr int kSelChange = 1;   // a list box or combo box selection changed by the user
inline constexpr int kChange = 0x300;  // an edit's (or the address control's) text changed
}  // namespace notify

class Dialog : public QWidget {
    Q_OBJECT

public:
    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr);
    ~Dialog() override;

    const DialogTemplate& dialogTemplate() const { return template_; }
    int templateId() const { return template_.id; }
    // The template's size in pixels for this dialog's font.
    QSize templateSize() const;
    DialogBaseUnits baseUnits() const { return DialogBaseUnits::ofFont(font()); }

    // The window: its controls exist between createWindow and destroyWindow. createWindow runs
    // onInitDialog once per creation.
    bool hasWindow() const { return hasWindow_; }
    void createWindow();
    void destroyWindow();

    // Controls by id (null when there is none, or before the window exists).
    template <typename T = QWidget>
    T* control(int id) const {
        return findControl<T>(this, id);
    }
    void setControlText(int id, const QString& text);
    QString controlText(int id) const;
    void enableControl(int id, bool enable);
    void showControl(int id, bool show);
    // Checks `id` and clears the other radio buttons from `first` to `last`.
    void checkRadioButton(int first, int last, int id);
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);

    WindowTimers& timers() { return timers_; }

protected:
    // After the controls are created; the result is the platform's (true: default focus).
    virtual bool onInitDialog() { return true; }
    virtual void onCommand(int /*id*/, int /*notification*/) {}
    virtual void onTimer(int /*id*/) {}
    // Before the controls are destroyed.
    virtual void onDestroyWindow() {}

private:
    void connectCommands();

    const DialogTemplate& template_;
    bool hasWindow_ = false;
    std::vector<QWidget*> controls_;
    WindowTimers timers_;
};

}  // namespace kv::ui
