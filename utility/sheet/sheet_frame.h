// The frame around the tree sheet's page: an optional caption band with the page's name and
// icon at the top, and a message (the empty-page text) drawn over the rest. CSheetFrame keeps the
// state and the plain drawing; a window class derived from it (CThemedSheetFrame) gives it a
// window and the themed drawing.
#pragma once

#include <QIcon>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace kv::diag {

// Rectangles in the platform's terms: right and bottom are exclusive.
inline QRect winRect(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }
inline int rightOf(const QRect& rect) { return rect.x() + rect.width(); }
inline int bottomOf(const QRect& rect) { return rect.y() + rect.height(); }

class CSheetFrame {
public:
    // Centred horizontally and vertically, single line, no prefix processing.
    static constexpr uint32_t kDefaultMessageFormat = 0x825;

    virtual ~CSheetFrame();

    virtual bool Create(uint32_t style, const QRect& rect, QWidget* parent, int id) = 0;
    virtual QWidget* Window() const = 0;
    virtual void SetCaptionVisible(bool visible);
    virtual void SetCaptionBarHeight(int height);
    virtual void SetTitle(const QString& text, const QIcon& icon);
    virtual void SetMessage(const QString& text);
    virtual void SetMessageFormat(uint32_t flags);
    // The caption band (when visible) over CaptionRect, then the message over MessageRect.
    virtual void Paint(QPainter& dc);
    // The client rectangle, its top lowered by the band height when the caption is visible.
    virtual QRect MessageRect() const;
    virtual void PaintMessage(QPainter& dc, const QRect& rect, const QString& text, uint32_t flags);
    // From the client top down to top + band height when visible; empty (top = bottom) otherwise.
    virtual QRect CaptionRect() const;
    virtual void PaintCaption(QPainter& dc, const QRect& rect, const QString& text, const QIcon& icon);

    bool isCaptionVisible() const { return captionVisible_; }
    int captionBarHeight() const { return captionBarHeight_; }
    QString message() const { return message_; }
    uint32_t messageFormat() const { return messageFormat_; }
    QString title() const { return title_; }
    QIcon titleIcon() const { return titleIcon_; }

protected:
    // The window's client rectangle; empty before the window exists.
    QRect clientRect() const;
    // When the window exists, that area is drawn again (background included).
    void invalidateCaption() const;
    void invalidateMessage() const;

private:
    void invalidate(const QRect& rect) const;

    bool captionVisible_ = false;
    int captionBarHeight_ = 0;
    QString title_;
    QIcon titleIcon_;
    QString message_;
    uint32_t messageFormat_ = kDefaultMessageFormat;
};

}  // namespace kv::diag
