#pragma once
// The mark a skinned control draws around itself while it holds the keyboard focus: a dotted
// light frame just inside its edge, visible on the dark page, the bitmaps and the curve view.

#include <QColor>
#include <QRect>

class QPainter;
class QWidget;

namespace qx {

inline const QColor kFocusMarkColor{255, 214, 90};

// Draws the mark inside `area` of the painter's widget.
void DrawFocusMark(QPainter& painter, const QRect& area);
// Draws it around the whole widget when the widget has the focus.
void DrawFocusMarkIfFocused(QPainter& painter, const QWidget& widget);

}  // namespace qx
