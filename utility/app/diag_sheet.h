// The main window: a tree property sheet with the adapter tree "NicTree" on its left. Selecting
// an adapter makes it the library's current adapter, reads its adapter and driver records once
// and shows the pages its chip kind calls for. The window also keeps the settings, the tray icon
// and the message protocol of the running program.
#pragma once

#include <QPointer>
#include <QSize>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/page_set.h"
#include "app/page_table.h"
#include "app/settings.h"
#include "app/sheet_timers.h"
#include "app/tray_animation.h"
#include "app/worker_watch.h"
#include "framework/image_list.h"
#include "kelvalib.h"
#include "session/adapter_session.h"
#include "session/page_services.h"
#include "sheet/tree_sheet.h"

class QMenu;

namespace kv::platform {
class MessageWindow;
}

namespace kv::diag {

class AdapterTree;
class TrayIcon;
class TrayMirror;

// Where the window runs: the screen's size, the system's version and the program's name.
struct SheetEnvironment {
    QSize screen{1024, 768};
    bool pageIconMode = true;           // NT platform, major version 5 or more
    std::string appName = "Kelvadiag";  // names the Run entry and the program file

    // The screen, the system and the program file of this process.
    static SheetEnvironment ofThisProcess();
};

class CDiagSheet : public CTreeSheet, public PageServices, private PageMembership, private TrayAnimationHost {
    Q_OBJECT

public:
    explicit CDiagSheet(const SheetEnvironment& environment = SheetEnvironment::ofThisProcess(),
                        const PageTable& pages = pageTable());
    ~CDiagSheet() override;

    // The program was started with "/hw": hide right after start when the tray icon is on.
    void setHiddenStart(bool on) { hiddenStart_ = on; }

    // PageServices.
    AdapterSession& session() override { return session_; }
    int selectedAdapterIndex() const override { return selectedIndex_; }
    int adapterReady() const override;
    int driverVersionNumber() const override { return driverVersion_; }
    const AdapterList_A& adapterList() const override { return adapterList_; }
    const AdapterInfo& adapterInfo() const override { return adapterInfo_; }
    const DriverInfo_A& driverInfo() const override { return driverInfo_; }
    void requestAdapterListRefresh() override;
    void watchWorker(ui::WorkerHandle worker, bool refreshAfter, bool disableActivePage) override;
    void postCommand(int commandId) override;
    void endWorkerWatch() override;

    // The adapter-list refresh: reopens the library, lists the adapters into the tree and selects
    // the library's current one. False when the library or the list cannot be read.
    bool refreshAdapterList();

    // A message of the window protocol (WM_USER+1), on the user-interface thread.
    void handleProtocolMessage(intptr_t lParam);
    // The commands of menu 134.
    void runCommand(int commandId);
    // The menu-initialisation step: menu 134's update rules applied to its popup.
    void updateMenu(QMenu& popup);
    // Shows menu 134's popup at the cursor (the tray icon's right button, the tree's context menu).
    // Menu 134's popup; the adapter tree's adds "Save Report...".
    void showNicsMenu(bool adapterTreeMenu = false);

    // The window is about to end (its destruction, or the system ending the session, which ends
    // the process right after): a worker that holds the library is stopped as its page's Stop
    // stops it and waited for, so its own clean-up (rebinding, the driver reload, the settings put
    // back) runs before the process ends.
    void finishWorkBeforeEnd();

    AdapterTree* adapterTree() const { return adapterTree_; }
    const Settings& settings() const { return settings_; }
    const TrayAnimation& trayAnimation() const { return animation_; }
    const WorkerWatch& workerWatch() const { return watch_; }
    // The one busy state: user actions are allowed while no worker holds the library. Every input
    // path asks this (the trees are disabled, Close greyed, the keys, menus and the quit request
    // refused meanwhile).
    bool uiEnabled() const { return !session_.busy(); }
    bool libraryOpen() const { return session_.isOpen(); }
    bool smallScreenLayout() const { return smallScreen_; }
    int adapterTreeWidth() const { return adapterTreeWidth_; }
    // The quit message was posted (E&xit, the quit request): the sheet has ended.
    bool quitPosted() const { return quitPosted_; }
    // The page objects of the table, in table order.
    std::vector<ui::PropertyPage*> tablePages() const;

protected:
    bool onInitDialog() override;
    void onDestroy() override;
    void onTimer(int id) override;
    bool onCloseRequest() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool userActionsAllowed() const override { return uiEnabled(); }
    // Windows: the protocol's messages come as the window's native messages.
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void buildPageTable(const PageTable& pages);
    void createAdapterTree();
    void onAdapterSelected(int index);
    void showPagesForMask(uint32_t mask);
    void setAdapterReady(int ready);
    void armHiddenStart();
    void onWorkerWatchTick();
    // The trees, the page the watch disabled and Close follow the busy state.
    void enableUserActions(bool on);
    // The watched worker has ended (or its page let it go): the window takes the library back.
    void endBusy();
    void hiddenStartTick();
    void openMessageWindow();

    // Visibility as the tray and the protocol change it.
    void launch();
    void postQuit();
    void setTrayIconShown(bool show);

    // PageMembership.
    void addTablePage(size_t entry) override;
    void removeTablePage(size_t entry) override;
    void setTablePageIcon(size_t entry, int image) override;

    // TrayAnimationHost.
    void startTrayTimer(int id, uint32_t periodMs) override;
    void stopTrayTimer(int id) override;
    bool trayIconShown() const override;
    void modifyTrayIcon(int iconId) override;

    SheetEnvironment environment_;
    QIcon programIcon_;
    bool smallScreen_ = false;
    int adapterTreeWidth_ = 150;
    AdapterTree* adapterTree_ = nullptr;  // a child window, destroyed with the window
    ui::ImageList pageIcons_{QSize(32, 32)};
    std::vector<std::unique_ptr<ui::PropertyPage>> pages_;  // the table's pages, in table order
    std::vector<PageSlot> pageSlots_;                       // their masks and membership
    AdapterSession session_;  // the window's thread holds the library while no worker does
    WorkerWatch watch_;
    QPointer<ui::PropertyPage> disabledPage_;  // the page the watch disabled
    Settings settings_;
    bool hiddenStart_ = false;
    TrayAnimation animation_{*this};
    std::unique_ptr<TrayIcon> trayIcon_;
    TrayMirror* trayMirror_ = nullptr;  // a child object
    std::unique_ptr<platform::MessageWindow> messageWindow_;
    bool closing_ = false;
    bool quitPosted_ = false;
    mutable std::mutex readyMutex_;
    int adapterReady_ = 1;

    AdapterList_A adapterList_{};
    AdapterInfo adapterInfo_{};
    DriverInfo_A driverInfo_{};
    int selectedIndex_ = -1;
    int driverVersion_ = -1;
};

}  // namespace kv::diag
