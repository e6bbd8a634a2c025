// A property sheet: pages (owned by the caller) shown one at a time over the pane of a tab
// control, OK (id 1) and Cancel (id 2) buttons, and the activation steps: leaving a page asks its
// kill-active step (which may refuse), entering one its set-active step (which may refuse; the
// sheet then goes back to the page it had). Activating the active page again runs both steps,
// so the page refreshes. Ctrl+Tab and Ctrl+Shift+Tab move to the next and previous page.
//
// The window exists from createWindow (the sheet's dialog initialisation, onInitDialog) to
// destroyWindow (onDestroy); runModal runs the sheet as the program's modal window between them.
#pragma once

#include <QDialog>
#include <QKeyEvent>
#include <QList>
#include <QPushButton>
#include <map>
#include <vector>

#include "framework/property_page.h"
#include "framework/tab_control.h"
#include "framework/window_timers.h"

namespace kv::ui {

class PropertySheet : public QDialog {
    Q_OBJECT

public:
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    explicit PropertySheet(const QString& caption, QWidget* parent = nullptr);
    ~PropertySheet() override;

    // Pages. The sheet does not own them; a removed page loses its window.
    virtual void addPage(PropertyPage* page);
    virtual void removePage(int index);
    void removePage(PropertyPage* page);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    PropertyPage* page(int index) const;
    int pageIndex(const PropertyPage* page) const;
    PropertyPage* activePage() const { return page(active_); }
    int activeIndex() const { return active_; }

    // Select a page by index or by its template's id; false when it cannot be activated.
    // Before the window exists this chooses the page the sheet starts with.
    virtual bool setActivePage(int index);
    bool setActivePage(PropertyPage* page) { return setActivePage(pageIndex(page)); }
    virtual bool setActivePageById(int templateId);

    bool hasWindow() const { return hasWindow_; }
    void createWindow();
    void destroyWindow();
    // createWindow, the modal loop, destroyWindow; the id of the button that ended it.
    int runModal();

    // Null before the window exists.
    TabControl* tabControl() const { return tab_; }
    QPushButton* button(int id) const;
    // The sheet's child windows: tab control, pages, buttons and whatever a derived sheet adds.
    QList<QWidget*> childWindows() const;
    void moveChildWindows(int dx, int dy);
    // The window's size (its client area) and its place in the middle of the screen.
    void setWindowSize(const QSize& size);
    void centreWindow();

    // The Close command of the window: the caption's close button, the system menu's Close, Alt+F4
    // and Esc. Off, the close button and the menu item are greyed and the command is ignored.
    void setCloseEnabled(bool on);
    bool isCloseEnabled() const { return closeEnabled_; }
    // The Close command: while it is on, asks onCloseRequest and, when that lets the sheet close,
    // ends the sheet as Cancel does.
    void closeCommand();
    // Esc, and every other way a dialog is cancelled, is the Close command: never a way past it.
    void reject() override;

    WindowTimers& timers() { return timers_; }

protected:
    // The platform's initialisation: tab control, page pane, buttons, the start page.
    virtual bool onInitDialog();
    // The platform's clean-up: page windows, tab control and buttons go.
    virtual void onDestroy();
    // A key going to the sheet or one of its children, before they see it (the sheet's
    // is-dialog-message step): true when handled. Ctrl+Tab / Ctrl+Shift+Tab move the page (while
    // user actions are allowed), Alt+F4 is the Close command.
    virtual bool onDialogKey(const QKeyEvent& key);
    // Whether the user may act on the sheet now (select pages, close it); a sheet that lends its
    // pages' work to a thread says no meanwhile.
    virtual bool userActionsAllowed() const { return true; }
    virtual void onTimer(int /*id*/) {}
    // The Close command: true lets the sheet close (as Cancel).
    virtual bool onCloseRequest() { return true; }

    // Ctrl (+Shift) + Tab: +1 or -1; 0 for any other key.
    static int ctrlTabDirection(const QKeyEvent& key);

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PropertyPage;
    // A page destroyed while it still belongs to the sheet leaves the sheet without touching it.
    void forgetDestroyedPage(PropertyPage* page);
    void layOut();
    void placePage(PropertyPage* page) const;
    bool showPage(int index);
    void onOk();

    std::vector<PropertyPage*> pages_;
    int active_ = -1;
    bool hasWindow_ = false;
    bool closeEnabled_ = true;
    TabControl* tab_ = nullptr;
    std::map<int, QPushButton*> buttons_;
    WindowTimers timers_;
};

}  // namespace kv::ui
