#include "sheet/sheet_frame.h"

#include <QApplication>

#include "sheet/text_format.h"

namespace kv::diag {

CSheetFrame::~CSheetFrame() = default;

void CSheetFrame::SetCaptionVisible(bool visible) {
    captionVisible_ = visible;
    invalidateCaption();
}

void CSheetFrame::SetCaptionBarHeight(int height) {
    captionBarHeight_ = height;
    invalidateCaption();
}

void CSheetFrame::SetTitle(const QString& text, const QIcon& icon) {
    title_ = text;
    titleIcon_ = icon;
    invalidateCaption();
}

void CSheetFrame::SetMessage(const QString& text) {
    message_ = text;
    invalidateMessage();
}

void CSheetFrame::SetMessageFormat(uint32_t flags) {
    messageFormat_ = flags;
    invalidateMessage();
}

void CSheetFrame::Paint(QPainter& dc) {
    if (captionVisible_) PaintCaption(dc, CaptionRect(), title_, titleIcon_);
    PaintMessage(dc, MessageRect(), message_, messageFormat_);
}

QRect CSheetFrame::MessageRect() const {
    QRect rect = clientRect();
    if (captionVisible_) rect.setTop(rect.top() + captionBarHeight_);
    return rect;
}

void CSheetFrame::PaintMessage(QPainter& dc, const QRect& rect, const QString& text, uint32_t flags) {
    dc.save();
    dc.setFont(QApplication::font());
    dc.setBackgroundMode(Qt::TransparentMode);
    drawFormattedText(dc, rect, text, flags);
    dc.restore();
}

QRect CSheetFrame::CaptionRect() const {
    const QRect client = clientRect();
    const int bottom = captionVisible_ ? client.top() + captionBarHeight_ : client.top();
    return winRect(client.left(), client.top(), rightOf(client), bottom);
}

void CSheetFrame::PaintCaption(QPainter&, const QRect&, const QString&, const QIcon&) {}

QRect CSheetFrame::clientRect() const {
    const QWidget* window = Window();
    return window ? window->rect() : QRect();
}

void CSheetFrame::invalidate(const QRect& rect) const {
    if (QWidget* window = Window()) window->update(rect);
}

void CSheetFrame::invalidateCaption() const { invalidate(CaptionRect()); }
void CSheetFrame::invalidateMessage() const { invalidate(MessageRect()); }

}  // namespace kv::diag
