#include "TransparentStatic.h"

#include <QPainter>

#include "ControlId.h"
#include "SkinFonts.h"
#include "StaticStyle.h"

namespace qx {

CTransparentStatic::CTransparentStatic(QWidget* parent, int controlId, unsigned style)
    : QWidget(parent), m_style(style) {
    SetControlId(this, controlId);
    setFont(CSkinFonts::Arial(13));
}

void CTransparentStatic::SetText(const QString& text) {
    m_text = text;
    update();
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
}

void CTransparentStatic::SetStyle(unsigned style) {
    m_style = style;
    update();
}

void CTransparentStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    p.setPen(m_textColor);
    DrawStaticText(p, rect(), m_text, m_style);
}

}  // namespace qx
