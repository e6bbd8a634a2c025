#include "framework/property_sheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "framework/control_id.h"
#include "framework/dialog_units.h"

namespace kv::ui {

namespace {
// Dialog units of the sheet's frame: the margin around the tab control and between it and the
// buttons, the buttons' size and the gap between them.
constexpr int kMarginDlu = 7;
constexpr int kButtonWidthDlu = 50;
constexpr int kButtonHeightDlu = 14;
constexpr int kButtonGapDlu = 4;
}  // namespace

PropertySheet::PropertySheet(const QString& caption, QWidget* parent)
    : QDialog(parent), timers_([this](int id) { onTimer(id); }) {
    setWindowTitle(caption);
}

PropertySheet::~PropertySheet() {
    if (hasWindow_) qApp->removeEventFilter(this);
    for (PropertyPage* page : pages_) {
        page->sheet_ = nullptr;
        page->setParent(nullptr);
    }
}

PropertyPage* PropertySheet::page(int index) const {
    return index >= 0 && index < pageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

int PropertySheet::pageIndex(const PropertyPage* page) const {
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void PropertySheet::addPage(PropertyPage* page) {
    if (!page || pageIndex(page) >= 0) return;
    pages_.push_back(page);
    page->sheet_ = this;
    page->hide();
    page->setParent(this);
    if (tab_) tab_->insertItem(pageCount() - 1, page->caption(), page->icon());
}

void PropertySheet::removePage(int index) {
    PropertyPage* removed = page(index);
    if (!removed) return;
    const bool wasActive = index == active_;
    removed->hide();
    removed->destroyWindow();
    removed->setParent(nullptr);
    removed->sheet_ = nullptr;
    pages_.erase(pages_.begin() + index);
    if (tab_) tab_->removeItem(index);
    if (index < active_) --active_;
    if (!wasActive) return;
    // The sheet always shows a page: the one that took the removed page's place, or the last.
    active_ = -1;
    if (pageCount() > 0) {
        if (hasWindow_) {
            showPage(std::min(index, pageCount() - 1));
        } else {
            active_ = 0;
        }
    }
}

void PropertySheet::removePage(PropertyPage* page) { removePage(pageIndex(page)); }

void PropertySheet::forgetDestroyedPage(PropertyPage* page) {
    const int index = pageIndex(page);
    if (index < 0) return;
    pages_.erase(pages_.begin() + index);
    if (tab_) tab_->removeItem(index);
    if (index == active_)
        active_ = -1;
    else if (index < active_)
        --active_;
}

bool PropertySheet::setActivePage(int index) {
    if (!page(index)) return false;
    if (!hasWindow_) {
        active_ = index;
        return true;
    }
    PropertyPage* current = activePage();
    if (current && !current->isHidden() && !current->onKillActive()) return false;
    return showPage(index);
}

bool PropertySheet::setActivePageById(int templateId) {
    for (int i = 0; i < pageCount(); ++i) {
        if (pages_[static_cast<size_t>(i)]->templateId() == templateId) return setActivePage(i);
    }
    return false;
}

// Shows page `index` in place of the active one (whose kill-active step has run); when the new
// page refuses, the old one comes back.
bool PropertySheet::showPage(int index) {
    PropertyPage* previous = activePage();
    const int previousIndex = active_;
    PropertyPage* next = page(index);
    if (!next->hasWindow()) next->createWindow();
    placePage(next);
    active_ = index;
    if (tab_) tab_->setCurrentItem(index);
    if (!next->onSetActive()) {
        next->hide();
        active_ = previousIndex;
        if (tab_) tab_->setCurrentItem(previousIndex);
        if (previous && previous != next) {
            previous->onSetActive();
            previous->show();
        }
        return false;
    }
    if (previous && previous != next) previous->hide();
    next->show();
    return true;
}

void PropertySheet::placePage(PropertyPage* page) const {
    if (!tab_) return;
    page->setGeometry(tab_->displayRect().translated(tab_->pos()));
}

void PropertySheet::createWindow() {
    if (hasWindow_) return;
    onInitDialog();
}

void PropertySheet::destroyWindow() {
    if (!hasWindow_) return;
    onDestroy();
}

int PropertySheet::runModal() {
    createWindow();
    const int result = exec();
    destroyWindow();
    return result;
}

bool PropertySheet::onInitDialog() {
    layOut();
    hasWindow_ = true;
    qApp->installEventFilter(this);
    if (pageCount() > 0) showPage(std::clamp(active_, 0, pageCount() - 1));
    return true;
}

void PropertySheet::layOut() {
    const DialogBaseUnits units = DialogBaseUnits::ofFont(font());
    QSize pageSize(0, 0);
    for (PropertyPage* page : pages_)
        pageSize =
            pageSize.expandedTo(units.toPixels(QSize(page->dialogTemplate().width, page->dialogTemplate().height)));

    tab_ = new TabControl(this);
    for (int i = 0; i < pageCount(); ++i)
        tab_->insertItem(i, pages_[static_cast<size_t>(i)]->caption(), pages_[static_cast<size_t>(i)]->icon());
    const int margin = units.toPixelsX(kMarginDlu);
    tab_->setGeometry(margin, margin, 0, 0);
    // The pane takes the largest page; the control adds its tab row and border around it.
    const QRect pane = tab_->displayRect();
    tab_->resize(pageSize.width() - pane.width(), pageSize.height() - pane.height());
    tab_->show();
    connect(tab_->tabBar(), &QTabBar::currentChanged, this, [this](int index) {
        if (index != active_ && !setActivePage(index)) tab_->setCurrentItem(active_);
    });

    const QSize buttonSize = units.toPixels(QSize(kButtonWidthDlu, kButtonHeightDlu));
    const int gap = units.toPixelsX(kButtonGapDlu);
    const int buttonTop = tab_->geometry().bottom() + 1 + margin;
    int right = tab_->geometry().right() + 1;
    for (const auto& [id, text] : {std::pair{kIdCancel, tr("Cancel")}, std::pair{kIdOk, tr("OK")}}) {
        auto* push = new QPushButton(text, this);
        setControlId(push, id);
        push->setGeometry(right - buttonSize.width(), buttonTop, buttonSize.width(), buttonSize.height());
        push->setAutoDefault(false);
        push->show();
        right -= buttonSize.width() + gap;
        buttons_[id] = push;
    }
    buttons_[kIdOk]->setDefault(true);
    connect(buttons_[kIdOk], &QPushButton::clicked, this, &PropertySheet::onOk);
    connect(buttons_[kIdCancel], &QPushButton::clicked, this, [this] { done(kIdCancel); });
    setWindowSize(QSize(tab_->geometry().right() + 1 + margin, buttonTop + buttonSize.height() + margin));
}

void PropertySheet::onDestroy() {
    qApp->removeEventFilter(this);
    for (PropertyPage* page : pages_) {
        page->hide();
        page->destroyWindow();
    }
    for (auto& [id, push] : buttons_) delete push;
    buttons_.clear();
    delete tab_;
    tab_ = nullptr;
    hasWindow_ = false;
}

void PropertySheet::onOk() {
    PropertyPage* current = activePage();
    if (current && !current->isHidden() && !current->onKillActive()) return;
    done(kIdOk);
}

QPushButton* PropertySheet::button(int id) const {
    const auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

QList<QWidget*> PropertySheet::childWindows() const {
    QList<QWidget*> windows;
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow()) windows.push_back(widget);
    }
    return windows;
}

void PropertySheet::moveChildWindows(int dx, int dy) {
    for (QWidget* child : childWindows()) child->move(child->pos() + QPoint(dx, dy));
}

void PropertySheet::setWindowSize(const QSize& size) { setFixedSize(size); }

void PropertySheet::centreWindow() {
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!display) return;
    QRect frame = frameGeometry();
    frame.moveCenter(display->availableGeometry().center());
    move(frame.topLeft());
}

int PropertySheet::ctrlTabDirection(const QKeyEvent& key) {
    if (!(key.modifiers() & Qt::ControlModifier)) return 0;
    if (key.key() == Qt::Key_Backtab) return -1;
    if (key.key() != Qt::Key_Tab) return 0;
    return (key.modifiers() & Qt::ShiftModifier) ? -1 : +1;
}

bool PropertySheet::onDialogKey(const QKeyEvent& key) {
    if (key.key() == Qt::Key_F4 && key.modifiers() == Qt::AltModifier) {
        closeCommand();
        return true;
    }
    const int direction = ctrlTabDirection(key);
    if (direction == 0 || pageCount() == 0) return false;
    if (userActionsAllowed()) setActivePage((active_ + direction + pageCount()) % pageCount());
    return true;
}

bool PropertySheet::eventFilter(QObject* watched, QEvent* event) {
    // The receiver first: events for objects that are no window of the sheet (the closures
    // workers post, say) pass by unread.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && (widget == this || isAncestorOf(widget)) && event->type() == QEvent::KeyPress &&
        onDialogKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PropertySheet::setCloseEnabled(bool on) {
    closeEnabled_ = on;
    // Without the close button hint the system greys the caption's button and the system menu's
    // Close; the flags change in place, so the window is not hidden and shown again.
    Qt::WindowFlags flags = windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    flags.setFlag(Qt::WindowCloseButtonHint, on);
    if (flags == windowFlags()) return;
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle()) window->setFlags(flags);
}

void PropertySheet::closeCommand() {
    if (!closeEnabled_ || !userActionsAllowed() || !onCloseRequest()) return;
    done(kIdCancel);
}

void PropertySheet::reject() { closeCommand(); }

void PropertySheet::closeEvent(QCloseEvent* event) {
    // The sheet ends through the Close command or not at all.
    event->ignore();
    closeCommand();
}

}  // namespace kv::ui
