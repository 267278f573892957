#include "FocusMark.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace qx {

void DrawFocusMark(QPainter& painter, const QRect& area) {
    if (area.width() < 2 || area.height() < 2) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    QPen pen(kFocusMarkColor);
    pen.setWidth(1);
    pen.setCosmetic(true);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.restore();
}

void DrawFocusMarkIfFocused(QPainter& painter, const QWidget& widget) {
    if (widget.hasFocus()) {
        DrawFocusMark(painter, widget.rect());
    }
}

}  // namespace qx
