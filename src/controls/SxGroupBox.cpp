#include "SxGroupBox.h"

#include <QFontMetrics>
#include <QPainter>

#include "ControlId.h"
#include "SkinColors.h"
#include "SkinFonts.h"

namespace qx {

CSxGroupBox::CSxGroupBox(QWidget* parent, int controlId)
    : QWidget(parent), m_font(CSkinFonts::ArialPoints(10)) {
    SetControlId(this, controlId);
    m_disabledLines[0] = skin::kButtonShadow;
    m_disabledLines[1] = skin::kButtonHighlight;
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CSxGroupBox::SetCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void CSxGroupBox::SetAlignment(Alignment alignment) {
    m_alignment = alignment;
    update();
}

void CSxGroupBox::SetCaptionHidden(bool hidden) {
    m_hideCaption = hidden;
    update();
}

int CSxGroupBox::CaptionLineY() const {
    return QFontMetrics(m_font).height() / 2 - 1;
}

int CSxGroupBox::CaptionLeft() const {
    const int textWidth = QFontMetrics(m_font).horizontalAdvance(m_caption);
    switch (m_alignment) {
        case kRight:
            return width() - 1 - m_indent - textWidth;
        case kCentre:
            return (width() - textWidth) / 2;
        case kLeft:
        default:
            return m_indent;
    }
}

void CSxGroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics metrics(m_font);
    const bool showCaption = isEnabled() && !m_caption.isEmpty() && !m_hideCaption;
    const int textWidth = showCaption ? metrics.horizontalAdvance(m_caption) : 0;
    const int w = m_lineWidth;
    const int left = 0;
    const int right = width() - 1;
    const int bottom = height() - 1;
    const int y = CaptionLineY();
    const int captionLeft = showCaption ? CaptionLeft() - 2 : left + m_indent;
    const int captionRight = showCaption ? CaptionLeft() + textWidth + 2 : left + m_indent;
    const QColor first = isEnabled() ? m_enabledLines[0] : m_disabledLines[0];
    const QColor second = isEnabled() ? m_enabledLines[1] : m_disabledLines[1];
    // The first pen: the outer top line either side of the caption, the left edge, and the
    // bottom and right edges one line width inside.
    p.setPen(QPen(first, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(captionLeft, y, left, y);
    p.drawLine(left, y, left, bottom - w);
    p.drawLine(left, bottom - w, right - w, bottom - w);
    p.drawLine(right - w, bottom - w, right - w, y);
    p.drawLine(right - w, y, captionRight, y);
    // The second pen: the inner top and left lines, the outer bottom and right lines.
    p.setPen(QPen(second, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(left + w, y + w, captionLeft, y + w);
    p.drawLine(captionRight, y + w, right - 2 * w, y + w);
    p.drawLine(left + w, y + w, left + w, bottom - 2 * w);
    p.drawLine(left, bottom, right, bottom);
    p.drawLine(right, bottom, right, y);
    if (showCaption) {
        p.setFont(m_font);
        p.setPen(m_textColor);
        const QRect textRect(CaptionLeft(), y - metrics.height() / 2 - m_verticalOffset,
                             textWidth + 1, metrics.height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_caption);
    }
}

}  // namespace qx
