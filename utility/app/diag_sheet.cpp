// The main window's life: construction, initialisation, timers, user actions and destruction.
#include "app/diag_sheet.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <thread>

#include "app/adapter_tree.h"
#include "app/tray_icon.h"
#include "app/tray_mirror.h"
#include "app/window_protocol.h"
#include "framework/ui_thread.h"
#include "kv/platform/system.h"
#include "kv/platform/window_messages.h"
#include "resources/images.h"
#include "resources/resource_ids.h"

namespace kv::diag {

namespace {

constexpr int kNarrowScreen = 1024;  // below: both trees 120 pixels wide
constexpr int kSmallScreen = 800;    // below: the two trees share the left column
constexpr int kNarrowTreeWidth = 120;

}  // namespace

SheetEnvironment SheetEnvironment::ofThisProcess() {
    SheetEnvironment environment;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) environment.screen = screen->geometry().size();
    platform::OsVersion version;
    environment.pageIconMode = platform::system().version(&version) && version.platformId == platform::kPlatformNt &&
                               version.majorVersion >= 5;
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (!program.isEmpty()) environment.appName = program.toStdString();
    return environment;
}

CDiagSheet::CDiagSheet(const SheetEnvironment& environment, const PageTable& pages)
    : CTreeSheet(QString::fromLatin1(kWindowCaption)), environment_(environment) {
    programIcon_ = loadIcon(res::kIconProgram);
    if (environment_.screen.width() < kNarrowScreen) {
        adapterTreeWidth_ = kNarrowTreeWidth;
        SetPageTreeWidth(kNarrowTreeWidth);
    }
    smallScreen_ = environment_.screen.width() < kSmallScreen;

    settings_ = loadSettings(environment_.appName);
    // The system ends the session by ending the process right after this signal.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &CDiagSheet::finishWorkBeforeEnd);
    buildPageTable(pages);
    showPagesForMask(pageset::kGeneralOnly);

    SetTreeMode(true, true, true);
    SetDefaultTreeImages(ui::ImageList::fromStrip(loadBitmap(res::kBitmapTreeImages), 16, bitmapMaskColour()));
}

CDiagSheet::~CDiagSheet() {
    if (hasWindow()) destroyWindow();
    // The sheet keeps plain pointers to its pages: they leave it before they are destroyed.
    for (const auto& page : pages_) {
        if (page && pageIndex(page.get()) >= 0) CTreeSheet::removePage(page.get());
    }
    pages_.clear();
}

void CDiagSheet::buildPageTable(const PageTable& pages) {
    for (const PageRow& row : pages) {
        std::unique_ptr<ui::PropertyPage> page = row.make ? row.make(*this) : nullptr;
        PageSlot slot{.mask = row.mask, .exists = page != nullptr};
        const ui::ImageList bitmap = ui::ImageList::fromStrip(loadBitmap(row.bitmapId), 32, bitmapMaskColour());
        slot.image = bitmap.count() > 0 ? pageIcons_.add(bitmap.image(0)) : -1;
        if (page && environment_.pageIconMode && slot.image >= 0) SetPageIcon(*page, pageIcons_, slot.image);
        pages_.push_back(std::move(page));
        pageSlots_.push_back(slot);
    }
}

std::vector<ui::PropertyPage*> CDiagSheet::tablePages() const {
    std::vector<ui::PropertyPage*> out;
    for (const auto& page : pages_) out.push_back(page.get());
    return out;
}

bool CDiagSheet::onInitDialog() {
    if (!CTreeSheet::onInitDialog()) return false;
    // The frame is made after the first page: it must lie under the pages, not over them.
    if (CSheetFrame* frame = pageFrame(); frame && frame->Window()) frame->Window()->lower();
    openMessageWindow();
    trayMirror_ = new TrayMirror(this);
    setWindowIcon(programIcon_);
    if (settings_.showTrayIcon) setTrayIconShown(true);

    QPushButton* cancel = button(kIdCancel);
    const int buttonHeight = cancel ? cancel->height() : 0;
    for (int id : {kIdOk, kIdCancel}) {
        if (QPushButton* b = button(id)) b->hide();
    }
    const QPoint topLeft = pos();
    setWindowSize(QSize(width(), height() - buttonHeight));
    move(topLeft);

    createAdapterTree();
    if (!refreshAdapterList()) return true;
    armHiddenStart();
    return true;
}

void CDiagSheet::createAdapterTree() {
    QWidget* reference = PageTreeCtrl() ? static_cast<QWidget*>(PageTreeCtrl()) : tabControl();
    if (!reference) return;
    const QRect r = reference->geometry();
    QRect treeRect;
    if (smallScreen_) {
        const int half = r.height() / 2;
        treeRect = QRect(QPoint(r.left(), r.top()), QPoint(r.right(), r.top() + half - 2));
        reference->setGeometry(QRect(QPoint(r.left(), r.bottom() - half + 2), QPoint(r.right(), r.bottom())));
    } else {
        treeRect = QRect(r.left(), r.top(), adapterTreeWidth_ - 5, r.height());
        setWindowSize(QSize(width() + adapterTreeWidth_, height()));
        centreWindow();
        moveChildWindows(adapterTreeWidth_, 0);
    }
    adapterTree_ = new AdapterTree(this);
    adapterTree_->setGeometry(treeRect);
    adapterTree_->show();
    connect(adapterTree_, &AdapterTree::adapterSelected, this, &CDiagSheet::onAdapterSelected);
}

void CDiagSheet::armHiddenStart() {
    if (hiddenStart_ && settings_.showTrayIcon) timers().setTimer(timer::kHiddenStart, 1);
}

void CDiagSheet::hiddenStartTick() {
    if (isVisible()) {
        hide();
    } else {
        timers().killTimer(timer::kHiddenStart);
    }
}

void CDiagSheet::onTimer(int id) {
    switch (id) {
        case timer::kRefresh:
            if (isSelectionChangeInProgress()) return;
            timers().killTimer(timer::kRefresh);
            // The library is the worker's until it ends: the refresh follows then.
            if (session_.busy()) {
                watch_.refreshAfterwards();
                return;
            }
            refreshAdapterList();
            return;
        case timer::kWorkerWatch:
            onWorkerWatchTick();
            return;
        case timer::kHiddenStart:
            hiddenStartTick();
            return;
        case timer::kTrayFrame:
            animation_.frameTick();
            return;
        case timer::kTrayHold:
            animation_.holdTick();
            return;
        default:
            return;
    }
}

int CDiagSheet::adapterReady() const {
    const std::lock_guard lock(readyMutex_);
    return adapterReady_;
}

void CDiagSheet::setAdapterReady(int ready) {
    const std::lock_guard lock(readyMutex_);
    adapterReady_ = ready;
}

void CDiagSheet::requestAdapterListRefresh() {
    if (!timers().isRunning(timer::kRefresh)) timers().setTimer(timer::kRefresh, timer::kRefreshMs);
}

void CDiagSheet::watchWorker(ui::WorkerHandle worker, bool refreshAfter, bool disableActivePage) {
    if (!worker) return;
    const std::thread::id thread = worker->id();
    if (!watch_.start(std::move(worker), refreshAfter, disableActivePage)) return;
    session_.lendTo(thread);
    enableUserActions(false);
    timers().setTimer(timer::kWorkerWatch, kWorkerWatchPeriodMs);
}

void CDiagSheet::endWorkerWatch() {
    if (!watch_.watching()) return;
    watch_.stop();
    endBusy();
}

void CDiagSheet::onWorkerWatchTick() {
    if (watch_.poll() == WorkerWatch::Poll::StillRunning) return;
    endBusy();
    if (watch_.takeRefreshAfter() && !closing_) refreshAdapterList();
}

void CDiagSheet::endBusy() {
    timers().killTimer(timer::kWorkerWatch);
    session_.takeBack();
    enableUserActions(true);
}

void CDiagSheet::enableUserActions(bool on) {
    if (adapterTree_) adapterTree_->setEnabled(on);
    if (QWidget* pageTree = PageTreeCtrl()) pageTree->setEnabled(on);
    // The page disabled at the start gets its controls back, whichever page is active by then.
    if (!on && watch_.disableActivePage()) disabledPage_ = activePage();
    if (disabledPage_) disabledPage_->setEnabled(on);
    if (on) disabledPage_.clear();
    setCloseEnabled(on);
}

void CDiagSheet::finishWorkBeforeEnd() {
    closing_ = true;
    const ui::WorkerHandle worker = watch_.worker();
    if (!worker) return;
    for (const auto& page : pages_) {
        if (page) page->onSheetEnding();
    }
    // The worker may hand texts and boxes over meanwhile: the window keeps handling them. A
    // worker that never ends does not keep the program for ever.
    constexpr int kCleanUpPatienceMs = 120000;
    const QDeadlineTimer patience(kCleanUpPatienceMs);
    while (!worker->hasEnded() && !patience.hasExpired()) {
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
    if (watch_.watching()) {
        watch_.stop();
        endBusy();
    }
}

bool CDiagSheet::onCloseRequest() {
    if (!settings_.showTrayIcon) return true;
    hide();
    return false;
}

void CDiagSheet::contextMenuEvent(QContextMenuEvent* event) {
    if (!uiEnabled() || !adapterTree_) return;
    const QRect treeOnScreen(adapterTree_->mapToGlobal(QPoint(0, 0)), adapterTree_->size());
    if (treeOnScreen.contains(event->globalPos())) showNicsMenu(true);
}

void CDiagSheet::openMessageWindow() {
    messageWindow_ =
        platform::windowMessages().openWindow(kWindowCaption, static_cast<platform::WindowHandle>(winId()),
                                              kProtocolMessage, [this](uint32_t, uintptr_t, intptr_t lParam) {
                                                  ui::postToUi(this, [this, lParam] { handleProtocolMessage(lParam); });
                                              });
}

bool CDiagSheet::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (messageWindow_ && messageWindow_->deliverNative(message)) {
        if (result) *result = 0;
        return true;
    }
    return CTreeSheet::nativeEvent(eventType, message, result);
}

void CDiagSheet::onDestroy() {
    finishWorkBeforeEnd();
    if (settings_.showTrayIcon) {
        setTrayIconShown(false);
        settings_.showTrayIcon = 0;
    }
    delete trayMirror_;
    trayMirror_ = nullptr;
    messageWindow_.reset();
    session_.close();
    delete adapterTree_;
    adapterTree_ = nullptr;
    timers().killTimer(timer::kWorkerWatch);
    CTreeSheet::onDestroy();
}

}  // namespace kv::diag
