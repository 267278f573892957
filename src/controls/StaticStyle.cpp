#include "StaticStyle.h"

#include <QPainter>

namespace qx {

QFont FittedFont(const QFont& font, const QString& text, int width) {
    QFont f = font;
    if (f.pixelSize() <= 0) {
        // A font given in points: work in pixels from its height as shown.
        f.setPixelSize(QFontMetrics(font).height() * 3 / 4);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            return font;
        }
    }
    QString plain = text;
    plain.remove(u'&');
    while (QFontMetrics(f).horizontalAdvance(plain) > width &&
           f.pixelSize() > kSmallestTextPixels) {
        f.setPixelSize(f.pixelSize() - 1);
    }
    return QFontMetrics(f).horizontalAdvance(plain) <= QFontMetrics(font).horizontalAdvance(plain)
               ? f
               : font;
}

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
    if (!wrap && ellipsis == 0) {
        painter.setFont(FittedFont(painter.font(), text, rect.width()));
    }
    if (ellipsis != 0) {
        const Qt::TextElideMode mode =
            ellipsis == ss::kPathEllipsis ? Qt::ElideMiddle : Qt::ElideRight;
        shown = painter.fontMetrics().elidedText(text, mode, rect.width());
    }
    painter.drawText(rect, flags, shown);
}

}  // namespace qx
