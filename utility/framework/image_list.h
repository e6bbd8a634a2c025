// An image list: images of one size, addressed by index, as tree controls, tab controls and
// caption bands use them. A plain value: copying it copies the images.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <vector>

namespace kv::ui {

class ImageList {
public:
    explicit ImageList(QSize imageSize = QSize(16, 16)) : imageSize_(imageSize) {}
    // Cuts a strip into images `width` pixels wide (as high as the strip); pixels of the mask
    // colour become transparent.
    static ImageList fromStrip(const QPixmap& strip, int width, const QColor& mask);

    QSize imageSize() const { return imageSize_; }
    int count() const { return static_cast<int>(images_.size()); }
    // Appends the image (scaled to the list's size when it differs); returns its index.
    int add(const QPixmap& image);
    int add(const QIcon& icon);
    void remove(int index);
    void clear() { images_.clear(); }
    // A null pixmap or icon for an index outside the list.
    QPixmap image(int index) const;
    QIcon icon(int index) const;

private:
    QSize imageSize_;
    std::vector<QPixmap> images_;
};

}  // namespace kv::ui
