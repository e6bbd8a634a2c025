// The page frame as a window: its background is the tab pane of the visual styles when they are
// active (button face otherwise), its caption band a gradient from the inactive-caption colour
// to the background with the page's icon and name.
#pragma once

#include <QWidget>
#include <memory>

#include "framework/image_list.h"
#include "sheet/sheet_frame.h"

namespace kv::diag {

class CThemedSheetFrame : public QWidget, public CSheetFrame {
    Q_OBJECT

public:
    CThemedSheetFrame();
    ~CThemedSheetFrame() override;

    bool Create(uint32_t style, const QRect& rect, QWidget* parent, int id) override;
    QWidget* Window() const override;
    void SetTitle(const QString& text, const QIcon& icon) override;
    QRect MessageRect() const override;
    QRect CaptionRect() const override;
    void PaintCaption(QPainter& dc, const QRect& rect, const QString& text, const QIcon& icon) override;

    // The caption icon's list (at most one image); null when there is no icon.
    const ui::ImageList* iconList() const { return iconList_.get(); }
    // The frame drawn as it appears on screen: background, then Paint.
    QImage renderFrame();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void eraseBackground(QPainter& dc) const;

    bool created_ = false;
    std::unique_ptr<ui::ImageList> iconList_;
};

// The colours the caption band uses.
QColor inactiveCaptionColour();
QColor captionTextColour();

}  // namespace kv::diag
