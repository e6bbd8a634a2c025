#include "sheet/tree_sheet.h"

#include <QTabBar>

#include "framework/control_id.h"
#include "resources/resource_ids.h"
#include "sheet/themed_sheet_frame.h"

namespace kv::diag {

namespace {

// Child, visible, clip siblings.
constexpr uint32_t kFrameStyle = 0x54000000;
// The tree's right edge keeps this distance from the page area.
constexpr int kTreeGap = 5;
// The longest tab text the tree takes (the buffer holds one character more, for the end).
constexpr int kTabTextMax = 259;
const QString kSeparator = QStringLiteral("::");

}  // namespace

CTreeSheet::CTreeSheet(const QString& caption, QWidget* parent) : ui::PropertySheet(caption, parent) {}

CTreeSheet::~CTreeSheet() = default;

bool CTreeSheet::SetTreeMode(bool treeMode, bool pageCaptions, bool treeImages) {
    if (hasWindow()) return false;
    treeMode_ = treeMode;
    if (treeMode_) {
        pageCaptions_ = pageCaptions;
        treeImages_ = treeImages;
    }
    return true;
}

bool CTreeSheet::SetPageTreeWidth(int width) {
    if (hasWindow()) return false;
    pageTreeWidth_ = width;
    return true;
}

bool CTreeSheet::SetDefaultTreeImages(const ui::ImageList& images) {
    if (images.count() != 2) return false;
    defaultImages_ = images;
    if (hasWindow()) RebuildPageTree();
    return true;
}

QString CTreeSheet::FormatEmptyPageText(const QString& format, const QString& name) const {
    // The one "%s" takes the name; "%%" stands for "%". The format is never handed to printf.
    QString text;
    bool nameUsed = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size()) {
            const QChar next = format[i + 1];
            if (next == u'%') {
                text += u'%';
                ++i;
                continue;
            }
            if (next == u's' && !nameUsed) {
                text += name;
                nameUsed = true;
                ++i;
                continue;
            }
        }
        text += format[i];
    }
    return text;
}

std::unique_ptr<ui::TreeControl> CTreeSheet::NewPageTreeCtrl() { return std::make_unique<ui::TreeControl>(); }

std::unique_ptr<CSheetFrame> CTreeSheet::NewPageFrame() { return std::make_unique<CThemedSheetFrame>(); }

bool CTreeSheet::onInitDialog() {
    if (treeMode_) {
        const QSize imageSize = defaultImages_.count() > 0 ? defaultImages_.imageSize() : QSize(16, 16);
        images_ = ui::ImageList(imageSize);
    }
    const bool result = ui::PropertySheet::onInitDialog();
    if (!treeMode_) return result;
    ui::TabControl* tabs = tabControl();
    if (!tabs) return result;
    tabs->hide();
    tabs->setEnabled(false);
    const QRect pageArea = tabs->geometry();

    frame_ = NewPageFrame();
    frame_->Create(kFrameStyle, pageArea, this, res::kPageFrameId);
    frame_->SetCaptionVisible(pageCaptions_);

    // The tree takes a strip at the left: the window grows by its width.
    const int treeWidth = pageTreeWidth_;
    setWindowSize(QSize(width() + treeWidth, height()));
    centreWindow();
    moveChildWindows(treeWidth, 0);
    QRect treeRect =
        winRect(pageArea.left(), pageArea.top(), pageArea.left() + treeWidth - kTreeGap, bottomOf(pageArea));

    // The caption band is as high as a tab.
    int bandHeight = 0;
    {
        QTabBar sample(this);
        sample.setGeometry(pageArea);
        sample.addTab(QString());
        bandHeight = sample.tabRect(0).height();
    }
    frame_->SetCaptionBarHeight(bandHeight);

    if (!pageCaptions_) {
        // No band: the frame starts where the band would have ended, and everything moves up.
        QWidget* frameWindow = frame_->Window();
        const QRect frameRect = frameWindow->geometry();
        frameWindow->setGeometry(
            winRect(frameRect.left(), frameRect.top() + bandHeight, rightOf(frameRect), bottomOf(frameRect)));
        moveChildWindows(0, -bandHeight);
        treeRect = winRect(treeRect.left(), treeRect.top(), rightOf(treeRect), bottomOf(treeRect) - bandHeight);
        const QPoint topLeft = pos();
        setWindowSize(QSize(width(), height() - bandHeight));
        move(topLeft.x(), topLeft.y() + bandHeight / 2);
    }

    pageTree_ = NewPageTreeCtrl();
    pageTree_->setParent(this);
    pageTree_->setObjectName(QStringLiteral("PageTree"));
    pageTree_->setWindowTitle(QStringLiteral("PageTree"));
    ui::setControlId(pageTree_.get(), res::kPageTreeId);
    pageTree_->setGeometry(treeRect);
    pageTree_->show();
    if (treeImages_) pageTree_->setImageList(&images_);
    pageTree_->onSelectionChanging = [this](QTreeWidgetItem*, QTreeWidgetItem* to) {
        return onPageTreeSelChanging(to);
    };

    RebuildPageTree();
    if (tabs->currentItem() >= 0) SelectPageTreeItem(tabs->currentItem());
    return result;
}

void CTreeSheet::onDestroy() {
    ui::PropertySheet::onDestroy();
    images_.clear();
    pageTree_.reset();
    frame_.reset();
}

void CTreeSheet::RebuildPageTree() {
    if (!hasWindow() || !pageTree_) return;
    pageTree_->deleteAllItems();
    const ui::TabControl* tabs = tabControl();
    if (!tabs) return;
    const int count = tabs->itemCount();
    if (treeImages_) {
        images_.clear();
        if (const ui::ImageList* tabImages = tabs->imageList()) {
            for (int i = 0; i < tabImages->count(); ++i) images_.add(tabImages->image(i));
        }
        if (hasDefaultImages()) {
            images_.add(defaultImages_.image(0));
            images_.add(defaultImages_.image(1));
        }
    }
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* item = AddPageTreePath(tabs->itemText(i).left(kTabTextMax), nullptr);
        if (!item) continue;
        pageTree_->setItemData(item, i);
        if (!treeImages_) continue;
        const int tabImage = tabs->itemImage(i);
        int image = -1;
        if (tabImage >= 0 && tabImage < images_.count()) {
            image = tabImage;
        } else if (hasDefaultImages()) {
            image = images_.count() - 1;
        }
        pageTree_->setItemImage(item, image, image);
    }
    pageTree_->refreshImages();
}

std::pair<QString, QString> CTreeSheet::splitPageTreePath(const QString& path) {
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = path.indexOf(kSeparator, from);
        if (at < 0) return {path, QString()};
        if (at == 0) {
            // A path that starts with the separator: the separator is dropped.
            return splitPageTreePath(path.mid(kSeparator.size()));
        }
        qsizetype backslashes = 0;
        while (at - backslashes - 1 >= 0 && path[at - backslashes - 1] == u'\\') ++backslashes;
        if (backslashes % 2 == 1) {
            from = at + 1;
            continue;
        }
        QString part = path.left(at);
        part.replace(QStringLiteral("\\::"), kSeparator);
        part.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        return {part, path.mid(at + kSeparator.size())};
    }
}

QTreeWidgetItem* CTreeSheet::AddPageTreePath(QString path, QTreeWidgetItem* parent) {
    const auto [part, rest] = splitPageTreePath(path);
    QTreeWidgetItem* item = pageTree_->firstChild(parent);
    while (item && pageTree_->itemText(item) != part) item = pageTree_->nextSibling(item);
    if (!item) {
        item = pageTree_->insertItem(part, parent);
        if (!item) return nullptr;
        pageTree_->setItemData(item, -1);
        if (!rest.isEmpty() && treeImages_ && hasDefaultImages()) {
            const int innerNode = images_.count() - 2;
            pageTree_->setItemImage(item, innerNode, innerNode);
        }
    }
    return rest.isEmpty() ? item : AddPageTreePath(rest, item);
}

QTreeWidgetItem* CTreeSheet::FindPageTreeItem(int pageIndex, QTreeWidgetItem* start) const {
    if (!pageTree_ || pageIndex < 0 || pageIndex >= pageCount()) return nullptr;
    return findInSiblings(pageIndex, start ? start : pageTree_->firstRoot());
}

// Depth first, pre-order, over `item` and its following siblings.
QTreeWidgetItem* CTreeSheet::findInSiblings(int pageIndex, QTreeWidgetItem* item) const {
    for (; item; item = pageTree_->nextSibling(item)) {
        if (pageTree_->itemData(item) == pageIndex) return item;
        if (QTreeWidgetItem* found = findInSiblings(pageIndex, pageTree_->firstChild(item))) return found;
    }
    return nullptr;
}

void CTreeSheet::SelectPageTreeItem(int pageIndex) {
    if (!pageTree_) return;
    if (QTreeWidgetItem* item = FindPageTreeItem(pageIndex)) {
        pageTree_->selectItem(item);
        pageTree_->scrollToItem(item);
    }
}

bool CTreeSheet::setActivePage(int index) {
    const bool result = ui::PropertySheet::setActivePage(index);
    afterPageSelected();
    return result;
}

bool CTreeSheet::setActivePageById(int templateId) {
    const bool result = ui::PropertySheet::setActivePageById(templateId);
    afterPageSelected();
    return result;
}

void CTreeSheet::afterPageSelected() {
    if (!treeMode_ || !pageTree_ || !tabControl()) return;
    SelectPageTreeItem(tabControl()->currentItem());
    updateFrameTitle(pageTree_->selectedItem());
}

ui::TreeControl::Change CTreeSheet::onPageTreeSelChanging(QTreeWidgetItem* to) {
    if (selectionChangeInProgress_) return ui::TreeControl::Change::Allow;
    selectionChangeInProgress_ = true;
    const intptr_t page = pageTree_->itemData(to);
    const bool done =
        page < 0 || page >= pageTree_->itemCount() ? hideActivePage() : setActivePage(static_cast<int>(page));
    if (done) updateFrameTitle(to);
    selectionChangeInProgress_ = false;
    return done ? ui::TreeControl::Change::Allow : ui::TreeControl::Change::Refuse;
}

// An inner node is selected: the page goes, if it lets itself be left.
bool CTreeSheet::hideActivePage() {
    ui::PropertyPage* page = activePage();
    if (!page || !page->hasWindow() || page->isHidden()) return true;
    if (!page->onKillActive()) return false;
    page->hide();
    return true;
}

void CTreeSheet::updateFrameTitle(QTreeWidgetItem* item) {
    if (!frame_) return;
    const ui::PropertyPage* page = activePage();
    const bool pageVisible = page && page->hasWindow() && !page->isHidden();
    if (!item) return;
    const QString name = pageTree_->itemText(item);
    if (!pageVisible) frame_->SetMessage(FormatEmptyPageText(emptyPageFormat_, name));
    const ui::TabControl* tabs = tabControl();
    if (!frame_->isCaptionVisible() || !tabs) return;
    QIcon icon;
    if (treeImages_) {
        icon = images_.icon(pageTree_->itemImage(item));
    } else if (pageVisible && tabs->imageList()) {
        icon = tabs->imageList()->icon(tabs->itemImage(static_cast<int>(pageTree_->itemData(item))));
    }
    frame_->SetTitle(name, icon);
}

bool CTreeSheet::onDialogKey(const QKeyEvent& key) {
    const int direction = ctrlTabDirection(key);
    if (direction == 0 || !pageTree_) return ui::PropertySheet::onDialogKey(key);
    // The keys select through the tree as a click would: not while the user may not act.
    if (!userActionsAllowed()) return true;
    QTreeWidgetItem* selected = pageTree_->selectedItem();
    QTreeWidgetItem* target = direction > 0 ? nextTreeItem(selected) : previousTreeItem(selected);
    if (target) pageTree_->selectItem(target);
    return true;
}

QTreeWidgetItem* CTreeSheet::nextTreeItem(QTreeWidgetItem* item) const {
    if (!item) return pageTree_->firstRoot();
    if (QTreeWidgetItem* child = pageTree_->firstChild(item)) return child;
    for (QTreeWidgetItem* at = item; at; at = pageTree_->parentItem(at)) {
        if (QTreeWidgetItem* next = pageTree_->nextSibling(at)) return next;
    }
    return pageTree_->firstRoot();
}

QTreeWidgetItem* CTreeSheet::previousTreeItem(QTreeWidgetItem* item) const {
    if (!item) return deepestLastItem(pageTree_->lastRoot());
    if (QTreeWidgetItem* previous = pageTree_->previousSibling(item)) return deepestLastItem(previous);
    if (QTreeWidgetItem* parent = pageTree_->parentItem(item)) return parent;
    return deepestLastItem(pageTree_->lastRoot());
}

QTreeWidgetItem* CTreeSheet::deepestLastItem(QTreeWidgetItem* item) const {
    while (QTreeWidgetItem* last = pageTree_->lastChild(item)) item = last;
    return item;
}

void SetPageIcon(ui::PropertyPage& page, const ui::ImageList& images, int index) {
    const QIcon icon = images.icon(index);
    if (!icon.isNull()) page.setIcon(icon);
}

}  // namespace kv::diag
