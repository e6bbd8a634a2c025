#include "sheet/text_format.h"

#include <QFontMetrics>

namespace kv::diag {

void drawFormattedText(QPainter& painter, const QRect& rect, const QString& text, uint32_t flags) {
    int qtFlags = 0;
    if (flags & dt::kCenter) {
        qtFlags |= Qt::AlignHCenter;
    } else if (flags & dt::kRight) {
        qtFlags |= Qt::AlignRight;
    } else {
        qtFlags |= Qt::AlignLeft;
    }
    // Vertical placement applies to a single line only.
    if ((flags & dt::kSingleLine) && (flags & dt::kVCenter)) {
        qtFlags |= Qt::AlignVCenter;
    } else if ((flags & dt::kSingleLine) && (flags & dt::kBottom)) {
        qtFlags |= Qt::AlignBottom;
    } else {
        qtFlags |= Qt::AlignTop;
    }
    if (flags & dt::kSingleLine) qtFlags |= Qt::TextSingleLine;
    if (flags & dt::kWordBreak) qtFlags |= Qt::TextWordWrap;
    if (!(flags & dt::kNoPrefix)) qtFlags |= Qt::TextShowMnemonic;
    const QString shown =
        (flags & dt::kEndEllipsis) ? QFontMetrics(painter.font()).elidedText(text, Qt::ElideRight, rect.width()) : text;
    painter.drawText(rect, qtFlags, shown);
}

}  // namespace kv::diag
