#include "resources/images.h"

#include <QFile>
#include <QPainter>

#include "resources/resource_ids.h"

namespace kv::diag {

namespace {

constexpr int kIconSize = 32;
constexpr int kTreeImageWidth = 16;
constexpr int kPageBitmapSize = 32;

// A placeholder: a rounded square in a colour of its own per id, with the id's last digits.
void drawPlaceholder(QPainter& painter, const QRect& area, int id) {
    const QColor colour = QColor::fromHsv((id * 47) % 360, 160, 200);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker(150));
    painter.drawRoundedRect(area.adjusted(1, 1, -2, -2), 3, 3);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(std::max(6, area.height() / 3));
    painter.setFont(font);
    painter.drawText(area, Qt::AlignCenter, QString::number(id % 1000));
}

QPixmap placeholderBitmap(int id) {
    const bool treeImages = id == res::kBitmapTreeImages;
    QPixmap bitmap(treeImages ? 2 * kTreeImageWidth : kPageBitmapSize, treeImages ? kTreeImageWidth : kPageBitmapSize);
    bitmap.fill(bitmapMaskColour());
    QPainter painter(&bitmap);
    if (treeImages) {
        drawPlaceholder(painter, QRect(0, 0, kTreeImageWidth, kTreeImageWidth), id);
        drawPlaceholder(painter, QRect(kTreeImageWidth, 0, kTreeImageWidth, kTreeImageWidth), id + 1);
    } else {
        drawPlaceholder(painter, bitmap.rect(), id);
    }
    return bitmap;
}

}  // namespace

QColor bitmapMaskColour() { return QColor(res::kBitmapMaskRed, res::kBitmapMaskGreen, res::kBitmapMaskBlue); }

QIcon loadIcon(int id) {
    const QString path = QStringLiteral(":/kelvadiag/images/icon_%1.png").arg(id);
    if (QFile::exists(path)) return QIcon(path);
    QPixmap icon(kIconSize, kIconSize);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    drawPlaceholder(painter, icon.rect(), id);
    painter.end();
    return QIcon(icon);
}

QPixmap loadBitmap(int id) {
    const QString path = QStringLiteral(":/kelvadiag/images/bitmap_%1.png").arg(id);
    if (QFile::exists(path)) return QPixmap(path);
    return placeholderBitmap(id);
}

}  // namespace kv::diag
