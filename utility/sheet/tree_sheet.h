// CTreeSheet: a property sheet whose row of tabs gives way to a tree of pages on the left and a
// framed page area with a caption band on the right. The sheet still owns the activation of its
// pages and keeps its (hidden) tab control; this class mirrors the tab control into the tree,
// routes tree selections to page activation, and draws the frame around the page. A page title
// may hold a path separated by "::" ("Driver::Advanced Setting"), so that pages group under inner
// tree nodes; "\::" keeps a "::" inside one part.
#pragma once

#include <QTreeWidgetItem>
#include <memory>
#include <utility>

#include "framework/image_list.h"
#include "framework/property_sheet.h"
#include "framework/tree_control.h"
#include "sheet/sheet_frame.h"

namespace kv::diag {

class CTreeSheet : public ui::PropertySheet {
    Q_OBJECT

public:
    static constexpr int kDefaultPageTreeWidth = 150;

    explicit CTreeSheet(const QString& caption, QWidget* parent = nullptr);
    ~CTreeSheet() override;

    // Only before the window exists (false afterwards). The two other flags count only in tree
    // mode.
    bool SetTreeMode(bool treeMode, bool pageCaptions, bool treeImages);
    bool SetPageTreeWidth(int width);
    // Exactly two images: [0] for inner nodes, [1] for pages without an icon of their own. The
    // sheet keeps a copy; the tree is rebuilt when the window exists.
    bool SetDefaultTreeImages(const ui::ImageList& images);
    // The format of the text shown when an inner node is selected ("%s" takes its name).
    void setEmptyPageFormat(const QString& format) { emptyPageFormat_ = format; }

    ui::TreeControl* PageTreeCtrl() const { return pageTree_.get(); }
    CSheetFrame* pageFrame() const { return frame_.get(); }
    // Rebuilds the tree from the tab control; adding and removing pages does not do it.
    void RebuildPageTree();
    void SelectPageTreeItem(int pageIndex);
    // The first item (depth first, pre-order, from `start` and its following siblings; null: the
    // first root item) whose data is the page index; null when none or the index is no page's.
    QTreeWidgetItem* FindPageTreeItem(int pageIndex, QTreeWidgetItem* start = nullptr) const;
    // The item of the last part of `path` under `parent` (null: the root), inner nodes created as
    // needed; null when an item cannot be inserted.
    QTreeWidgetItem* AddPageTreePath(QString path, QTreeWidgetItem* parent);
    // Splits the first part off a path: (the part, the rest).
    static std::pair<QString, QString> splitPageTreePath(const QString& path);

    bool isSelectionChangeInProgress() const { return selectionChangeInProgress_; }
    bool isTreeMode() const { return treeMode_; }
    bool hasPageCaptions() const { return pageCaptions_; }
    bool hasTreeImages() const { return treeImages_; }
    int pageTreeWidth() const { return pageTreeWidth_; }
    // The page tree's images: the tab control's icons, then the two default images.
    const ui::ImageList& treeImages() const { return images_; }
    const ui::ImageList& defaultTreeImages() const { return defaultImages_; }

    bool setActivePage(int index) override;
    bool setActivePageById(int templateId) override;

protected:
    virtual QString FormatEmptyPageText(const QString& format, const QString& name) const;
    virtual std::unique_ptr<ui::TreeControl> NewPageTreeCtrl();
    virtual std::unique_ptr<CSheetFrame> NewPageFrame();

    bool onInitDialog() override;
    void onDestroy() override;
    bool onDialogKey(const QKeyEvent& key) override;

private:
    QTreeWidgetItem* findInSiblings(int pageIndex, QTreeWidgetItem* item) const;
    bool hasDefaultImages() const { return defaultImages_.count() == 2; }
    void afterPageSelected();
    ui::TreeControl::Change onPageTreeSelChanging(QTreeWidgetItem* to);
    bool hideActivePage();
    void updateFrameTitle(QTreeWidgetItem* item);
    QTreeWidgetItem* nextTreeItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* previousTreeItem(QTreeWidgetItem* item) const;
    QTreeWidgetItem* deepestLastItem(QTreeWidgetItem* item) const;

    bool treeMode_ = true;
    bool selectionChangeInProgress_ = false;
    bool pageCaptions_ = false;
    bool treeImages_ = false;
    int pageTreeWidth_ = kDefaultPageTreeWidth;
    QString emptyPageFormat_;
    ui::ImageList images_;
    ui::ImageList defaultImages_;
    std::unique_ptr<ui::TreeControl> pageTree_;
    std::unique_ptr<CSheetFrame> frame_;
};

// Gives the page the icon at `index` of the list (when there is one) as its own icon, which the
// sheet puts into its tab control's image list.
void SetPageIcon(ui::PropertyPage& page, const ui::ImageList& images, int index);

}  // namespace kv::diag
