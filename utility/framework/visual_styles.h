// Visual styles: whether the desktop draws themed controls, and the themed tab pane the page
// frame draws with. On Qt the answer comes from the application's style: every style but the
// classic "Windows" one draws themed controls (on Windows the "windowsvista" style draws through
// the system's visual-styles library, so there the answer is that library's). Tests force
// either answer, and can make the tab pane theme fail to open.
#pragma once

#include <QPainter>
#include <QRect>
#include <QWidget>
#include <optional>

namespace kv::ui {

// The tab pane part of the "Tab" theme, open for one widget.
class TabPaneTheme {
public:
    explicit TabPaneTheme(const QWidget* widget) : widget_(widget) {}
    // The content rectangle of the pane drawn over `rect`: inside its border.
    QRect contentRect(const QRect& rect) const;
    // Draws the pane's background over `rect`.
    void drawBackground(QPainter& painter, const QRect& rect) const;

private:
    const QWidget* widget_;
};

class VisualStyles {
public:
    static bool active();
    // The tab pane theme; none when the styles are not active or the theme does not open.
    static std::optional<TabPaneTheme> openTabPane(const QWidget* widget);

    // Test hooks: force the answer of active() (nullopt: ask the style again), and make the
    // tab pane theme fail to open.
    static void forceActive(std::optional<bool> active);
    static void forceTabPaneFailure(bool fail);
};

}  // namespace kv::ui
