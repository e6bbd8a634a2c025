#include "sheet/themed_sheet_frame.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>

#include "framework/control_id.h"
#include "framework/visual_styles.h"
#include "sheet/text_format.h"

namespace kv::diag {

namespace {

constexpr uint32_t kStyleVisible = 0x10000000;
constexpr int kIconLeft = 3;
constexpr int kIconGap = 3;
constexpr int kTextGap = 2;

// The size of an icon's images (its mask bitmap's size), 16 x 16 when it tells none.
QSize iconSize(const QIcon& icon) {
    const QList<QSize> sizes = icon.availableSizes();
    return sizes.isEmpty() ? QSize(16, 16) : sizes.first();
}

}  // namespace

QColor inactiveCaptionColour() { return QApplication::palette().color(QPalette::Inactive, QPalette::Highlight); }
QColor captionTextColour() { return QApplication::palette().color(QPalette::Active, QPalette::WindowText); }

CThemedSheetFrame::CThemedSheetFrame() {
    setObjectName(QStringLiteral("Page Frame"));
    setWindowTitle(QStringLiteral("Page Frame"));
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

CThemedSheetFrame::~CThemedSheetFrame() = default;

bool CThemedSheetFrame::Create(uint32_t style, const QRect& rect, QWidget* parent, int id) {
    setParent(parent);
    ui::setControlId(this, id);
    setGeometry(rect);
    setVisible(style & kStyleVisible);
    created_ = true;
    return true;
}

QWidget* CThemedSheetFrame::Window() const { return created_ ? const_cast<CThemedSheetFrame*>(this) : nullptr; }

void CThemedSheetFrame::SetTitle(const QString& text, const QIcon& icon) {
    CSheetFrame::SetTitle(text, icon);
    iconList_.reset();
    if (icon.isNull()) return;
    const QSize size = iconSize(icon);
    iconList_ = std::make_unique<ui::ImageList>(size);
    if (iconList_->add(icon.pixmap(size)) < 0) iconList_.reset();
}

QRect CThemedSheetFrame::MessageRect() const {
    const QRect client = clientRect();
    const int band = captionBarHeight();
    if (ui::VisualStyles::active()) {
        const auto theme = ui::VisualStyles::openTabPane(this);
        if (!theme) return client;
        QRect content = theme->contentRect(client);
        if (isCaptionVisible())
            content = winRect(content.left(), client.top() + band + 1, rightOf(content), bottomOf(content));
        return content;
    }
    if (!isCaptionVisible()) return client;
    return winRect(client.left(), client.top() + band + 1, rightOf(client), bottomOf(client));
}

QRect CThemedSheetFrame::CaptionRect() const {
    const QRect client = clientRect();
    if (!ui::VisualStyles::active()) return CSheetFrame::CaptionRect();
    const auto theme = ui::VisualStyles::openTabPane(this);
    if (!theme) return client;
    const QRect content = theme->contentRect(client);
    const int bottom = isCaptionVisible() ? client.top() + captionBarHeight() : content.top();
    return winRect(content.left(), content.top(), rightOf(content), bottom);
}

void CThemedSheetFrame::PaintCaption(QPainter& dc, const QRect& rect, const QString& text, const QIcon&) {
    const int left = rect.left();
    const int right = rightOf(rect);
    // The gradient ends in the colour already under the band's right end.
    const QColor start = inactiveCaptionColour();
    QColor end = start;
    if (dc.device() && dc.device()->devType() == QInternal::Image) {
        const auto* image = static_cast<const QImage*>(dc.device());
        if (image->rect().contains(right - 1, rect.top())) end = image->pixelColor(right - 1, rect.top());
    }
    const double span = right > left ? right - left : 1;
    const double stepRed = (end.red() - start.red()) / span;
    const double stepGreen = (end.green() - start.green()) / span;
    const double stepBlue = (end.blue() - start.blue()) / span;
    double red = start.red(), green = start.green(), blue = start.blue();
    dc.save();
    for (int x = left; x <= right; ++x) {
        dc.setPen(QPen(QColor(static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue)), 1));
        dc.drawLine(x, rect.top(), x, bottomOf(rect) - 1);
        red += stepRed;
        green += stepGreen;
        blue += stepBlue;
    }
    dc.restore();

    QRect textRect = rect;
    if (iconList_ && iconList_->count() == 1) {
        const QPixmap icon = iconList_->image(0);
        dc.drawPixmap(kIconLeft, rect.top() + (rect.height() - icon.height()) / 2, icon);
        textRect.setLeft(textRect.left() + icon.width() + kIconGap);
    }
    textRect.setLeft(textRect.left() + kTextGap);
    dc.save();
    dc.setPen(captionTextColour());
    dc.setBackgroundMode(Qt::TransparentMode);
    QFont system = QApplication::font();
    system.setBold(true);
    dc.setFont(system);
    drawFormattedText(dc, textRect, text,
                      dt::kLeft | dt::kVCenter | dt::kSingleLine | dt::kNoPrefix | dt::kEndEllipsis);
    dc.restore();
}

void CThemedSheetFrame::eraseBackground(QPainter& dc) const {
    const QRect client = clientRect();
    if (ui::VisualStyles::active()) {
        if (const auto theme = ui::VisualStyles::openTabPane(this)) {
            theme->drawBackground(dc, client);
            return;
        }
        // The styles are on but the theme does not open: the background counts as erased.
        return;
    }
    dc.fillRect(client, palette().color(QPalette::Button));
}

QImage CThemedSheetFrame::renderFrame() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    QPainter dc(&image);
    eraseBackground(dc);
    Paint(dc);
    return image;
}

void CThemedSheetFrame::paintEvent(QPaintEvent* event) {
    const QImage image = renderFrame();
    QPainter painter(this);
    painter.drawImage(event->rect(), image, event->rect());
}

}  // namespace kv::diag
