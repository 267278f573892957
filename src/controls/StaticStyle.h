#pragma once
// Static-control style bits as dialog templates give them, and how they place text.

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

class QPainter;

namespace qx {

namespace ss {
constexpr unsigned kLeft = 0x0;
constexpr unsigned kCenter = 0x1;
constexpr unsigned kRight = 0x2;
constexpr unsigned kSimple = 0xB;
constexpr unsigned kLeftNoWordWrap = 0xC;
constexpr unsigned kTypeMask = 0x1F;
constexpr unsigned kNoPrefix = 0x80;
constexpr unsigned kCenterImage = 0x200;
constexpr unsigned kEndEllipsis = 0x4000;
constexpr unsigned kPathEllipsis = 0x8000;
constexpr unsigned kWordEllipsis = 0xC000;
constexpr unsigned kEllipsisMask = 0xC000;
}  // namespace ss

// The font a line of text is drawn in so that it fits `width` pixels: `font` itself when the
// text fits, otherwise the same face a pixel smaller at a time, never below kSmallestTextPixels
// (where a text that still does not fit is cut, and the tests over every page catch it).
constexpr int kSmallestTextPixels = 9;
QFont FittedFont(const QFont& font, const QString& text, int width);

// Draws text in a rectangle as a static control with the given style would: alignment,
// vertical centring on one line, prefix processing, ellipses and word breaking.
void DrawStaticText(QPainter& painter, const QRect& rect, const QString& text, unsigned style);

}  // namespace qx
