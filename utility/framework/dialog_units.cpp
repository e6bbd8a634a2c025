#include "framework/dialog_units.h"

#include <QFontMetrics>
#include <cstdint>
#include <cstdlib>

namespace kv::ui {

int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = std::abs(static_cast<int64_t>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::abs(product) + half) / std::abs(static_cast<int64_t>(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

DialogBaseUnits DialogBaseUnits::ofFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits((letters / 26 + 1) / 2, metrics.height());
}

int DialogBaseUnits::toPixelsX(int dluX) const { return mulDiv(dluX, baseX_, 4); }
int DialogBaseUnits::toPixelsY(int dluY) const { return mulDiv(dluY, baseY_, 8); }

QRect DialogBaseUnits::toPixels(const QRect& dlu) const {
    return QRect(toPixelsX(dlu.x()), toPixelsY(dlu.y()), toPixelsX(dlu.width()), toPixelsY(dlu.height()));
}

QSize DialogBaseUnits::toPixels(const QSize& dlu) const {
    return QSize(toPixelsX(dlu.width()), toPixelsY(dlu.height()));
}

}  // namespace kv::ui
