// Text drawn with the platform's text-drawing flags (alignment, single line, prefix handling,
// end ellipsis), as the page frame keeps them.
#pragma once

#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdint>

namespace kv::diag {

namespace dt {
inline constexpr uint32_t kLeft = 0x0;
inline constexpr uint32_t kCenter = 0x1;
inline constexpr uint32_t kRight = 0x2;
inline constexpr uint32_t kVCenter = 0x4;
inline constexpr uint32_t kBottom = 0x8;
inline constexpr uint32_t kWordBreak = 0x10;
inline constexpr uint32_t kSingleLine = 0x20;
inline constexpr uint32_t kNoPrefix = 0x800;
inline constexpr uint32_t kEndEllipsis = 0x8000;
}  // namespace dt

void drawFormattedText(QPainter& painter, const QRect& rect, const QString& text, uint32_t flags);

}  // namespace kv::diag
