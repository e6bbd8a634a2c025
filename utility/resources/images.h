// The icon and bitmap resources by id. Each is read from the program's Qt resources
// (":/kelvadiag/images/icon_<id>.png", "bitmap_<id>.png"); an id without a file gets a drawn
// placeholder of the resource's size.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace kv::diag {

QIcon loadIcon(int id);
QPixmap loadBitmap(int id);
// The colour of a bitmap's transparent pixels, RGB(0, 128, 128).
QColor bitmapMaskColour();

}  // namespace kv::diag
