#include "framework/tab_control.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

namespace kv::ui {

namespace {
constexpr int kImageSize = 16;
constexpr int kPaneBorder = 2;
}  // namespace

TabControl::TabControl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setIconSize(QSize(kImageSize, kImageSize));
    // The row keeps its height with or without tabs: that of a row holding one.
    QTabBar sample;
    sample.setIconSize(bar_->iconSize());
    sample.addTab(QString());
    rowHeight_ = sample.sizeHint().height();
}

TabControl::~TabControl() = default;

void TabControl::insertItem(int index, const QString& text, const QIcon& icon) {
    int image = -1;
    if (!icon.isNull()) {
        if (!images_) images_ = std::make_unique<ImageList>(QSize(kImageSize, kImageSize));
        image = images_->add(icon);
    }
    const QSignalBlocker quiet(bar_);
    const int at = bar_->insertTab(index, icon, text);
    bar_->setTabData(at, image);
}

void TabControl::removeItem(int index) {
    const int image = itemImage(index);
    const QSignalBlocker quiet(bar_);
    bar_->removeTab(index);
    // The tab's image leaves the list; the images after it move down by one.
    if (image < 0 || !images_) return;
    images_->remove(image);
    for (int i = 0; i < bar_->count(); ++i) {
        const int other = itemImage(i);
        if (other > image) bar_->setTabData(i, other - 1);
    }
}

int TabControl::itemImage(int index) const {
    const QVariant image = bar_->tabData(index);
    return image.isValid() ? image.toInt() : -1;
}

void TabControl::setCurrentItem(int index) {
    const QSignalBlocker quiet(bar_);
    bar_->setCurrentIndex(index);
}

QRect TabControl::itemRect(int index) const { return bar_->tabRect(index).translated(bar_->pos()); }

QRect TabControl::displayRect() const {
    const int top = rowHeight_;
    return QRect(0, top, width(), height() - top).adjusted(kPaneBorder, kPaneBorder, -kPaneBorder, -kPaneBorder);
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bar_->setGeometry(0, 0, width(), rowHeight_);
}

void TabControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame pane;
    pane.initFrom(this);
    const int top = rowHeight_;
    pane.rect = QRect(0, top, width(), height() - top);
    pane.shape = QTabBar::RoundedNorth;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &pane, &painter, this);
}

}  // namespace kv::ui
