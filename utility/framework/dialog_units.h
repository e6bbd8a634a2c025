// Dialog units: a template's coordinates in quarters of the dialog font's average character
// width (horizontal) and eighths of its height (vertical), converted to pixels as the platform's
// dialog manager does.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace kv::ui {

class DialogBaseUnits {
public:
    DialogBaseUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}
    // The base units of a font: the average width of the 52 Latin letters (rounded to the
    // nearest pixel) and the font's height.
    static DialogBaseUnits ofFont(const QFont& font);

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }
    // x * baseX / 4 and y * baseY / 8, rounded to the nearest pixel.
    int toPixelsX(int dluX) const;
    int toPixelsY(int dluY) const;
    // Each of x, y, width and height converted on its own, as a control of a template is placed.
    QRect toPixels(const QRect& dlu) const;
    QSize toPixels(const QSize& dlu) const;

private:
    int baseX_;
    int baseY_;
};

// MulDiv: a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c);

}  // namespace kv::ui
