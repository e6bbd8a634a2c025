// The sheet's tab control: a row of tabs, each with a caption and an index into the control's
// image list, over the pane where the pages show. The tree sheet reads it to build its tree.
#pragma once

#include <QTabBar>
#include <QWidget>
#include <memory>

#include "framework/image_list.h"

namespace kv::ui {

class TabControl : public QWidget {
    Q_OBJECT

public:
    explicit TabControl(QWidget* parent = nullptr);
    ~TabControl() override;

    int itemCount() const { return bar_->count(); }
    // Inserts a tab before `index` (at the end when out of range); an icon goes into the image list.
    void insertItem(int index, const QString& text, const QIcon& icon = {});
    void removeItem(int index);
    QString itemText(int index) const { return bar_->tabText(index); }
    // The tab's index into imageList(), -1 when it has none.
    int itemImage(int index) const;
    // The list of the tabs' icons; null until a tab has one.
    const ImageList* imageList() const { return images_.get(); }
    int currentItem() const { return bar_->currentIndex(); }
    void setCurrentItem(int index);
    // A tab's rectangle within the control.
    QRect itemRect(int index) const;
    // The pane below the tabs, in the control's coordinates: where a page goes.
    QRect displayRect() const;
    QTabBar* tabBar() const { return bar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QTabBar* bar_;
    int rowHeight_ = 0;
    std::unique_ptr<ImageList> images_;
};

}  // namespace kv::ui
