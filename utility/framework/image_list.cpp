#include "framework/image_list.h"

#include <QBitmap>

namespace kv::ui {

ImageList ImageList::fromStrip(const QPixmap& strip, int width, const QColor& mask) {
    ImageList list(QSize(width, strip.height()));
    if (width <= 0) return list;
    for (int x = 0; x + width <= strip.width(); x += width) {
        QPixmap image = strip.copy(x, 0, width, strip.height());
        image.setMask(image.createMaskFromColor(mask, Qt::MaskInColor));
        list.add(image);
    }
    return list;
}

int ImageList::add(const QPixmap& image) {
    if (image.isNull()) return -1;
    images_.push_back(
        image.size() == imageSize_ ? image : image.scaled(imageSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return count() - 1;
}

int ImageList::add(const QIcon& icon) { return icon.isNull() ? -1 : add(icon.pixmap(imageSize_)); }

void ImageList::remove(int index) {
    if (index >= 0 && index < count()) images_.erase(images_.begin() + index);
}

QPixmap ImageList::image(int index) const { return index >= 0 && index < count() ? images_[index] : QPixmap(); }

QIcon ImageList::icon(int index) const {
    const QPixmap pixmap = image(index);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace kv::ui
