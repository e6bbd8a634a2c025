#include "framework/visual_styles.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

namespace kv::ui {

namespace {

std::optional<bool>& forcedActive() {
    static std::optional<bool> value;
    return value;
}

bool& tabPaneFails() {
    static bool value = false;
    return value;
}

const QStyle* styleOf(const QWidget* widget) { return widget ? widget->style() : QApplication::style(); }

QStyleOptionTabWidgetFrame paneOption(const QWidget* widget, const QRect& rect) {
    QStyleOptionTabWidgetFrame option;
    if (widget) option.initFrom(widget);
    option.rect = rect;
    option.shape = QTabBar::RoundedNorth;
    option.lineWidth = styleOf(widget)->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
    return option;
}

}  // namespace

QRect TabPaneTheme::contentRect(const QRect& rect) const {
    // The pane's border is the style's frame width, plus the one-pixel gap the pane keeps.
    const int border = styleOf(widget_)->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget_) + 1;
    return rect.adjusted(border, border, -border, -border);
}

void TabPaneTheme::drawBackground(QPainter& painter, const QRect& rect) const {
    const QStyleOptionTabWidgetFrame option = paneOption(widget_, rect);
    painter.fillRect(rect, option.palette.window());
    styleOf(widget_)->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, widget_);
}

bool VisualStyles::active() {
    if (forcedActive()) return *forcedActive();
    const QStyle* style = QApplication::style();
    return style && style->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) != 0;
}

std::optional<TabPaneTheme> VisualStyles::openTabPane(const QWidget* widget) {
    if (!active() || tabPaneFails()) return std::nullopt;
    return TabPaneTheme(widget);
}

void VisualStyles::forceActive(std::optional<bool> active) { forcedActive() = active; }
void VisualStyles::forceTabPaneFailure(bool fail) { tabPaneFails() = fail; }

}  // namespace kv::ui
