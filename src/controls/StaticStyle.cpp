#include "StaticStyle.h"

#include <QPainter>

namespace qx {

void DrawStaticText(QPainter& painter, const QRect& rect, const QString& text, unsigned style) {
    const unsigned type = style & ss::kTypeMask;
    const unsigned ellipsis = style & ss::kEllipsisMask;
    int flags = 0;
    if (type == ss::kCenter) {
        flags |= Qt::AlignHCenter;
    } else if (type == ss::kRight) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    const bool singleLine = (style & ss::kCenterImage) != 0;
    flags |= singleLine ? Qt::AlignVCenter : Qt::AlignTop;
    if ((style & ss::kNoPrefix) == 0) {
        flags |= Qt::TextShowMnemonic;
    }
    const bool wrap =
        ellipsis == 0 && !singleLine && type != ss::kSimple && type != ss::kLeftNoWordWrap;
    if (wrap) {
        flags |= Qt::TextWordWrap;
    } else {
        flags |= Qt::TextSingleLine;
    }
    QString shown = text;
    if (ellipsis != 0) {
        const Qt::TextElideMode mode =
            ellipsis == ss::kPathEllipsis ? Qt::ElideMiddle : Qt::ElideRight;
        shown = painter.fontMetrics().elidedText(text, mode, rect.width());
    }
    painter.drawText(rect, flags, shown);
}

}  // namespace qx
