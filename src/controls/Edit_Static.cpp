#include "Edit_Static.h"

#include <QPainter>
#include <climits>

#include "ControlId.h"
#include "SkinFonts.h"
#include "StaticStyle.h"

namespace qx {

CEdit_Static::CEdit_Static(QWidget* parent, int controlId, unsigned style)
    : QWidget(parent), m_style(style) {
    SetControlId(this, controlId);
    setFont(CSkinFonts::Arial(13));
}

void CEdit_Static::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void CEdit_Static::SetIntegerScale(int factor, int offset, const QString& unit) {
    m_factor = factor;
    m_intOffset = offset;
    m_unit = unit;
}

void CEdit_Static::SetRule(LabelRule rule, double factor, double offset, const QString& unit) {
    SetRule(rule);
    if (rule == LabelRule::L14) {
        SetDecimalScale(factor, offset, unit);
    } else {
        SetIntegerScale(static_cast<int>(factor), static_cast<int>(offset), unit);
    }
}

void CEdit_Static::SetDecimalScale(double step, double offset, const QString& unit) {
    m_step = step;
    m_decimalOffset = offset;
    m_unit = unit;
}

void CEdit_Static::SetTextColors(const QColor& enabled, const QColor& disabled) {
    m_enabledColor = enabled;
    m_disabledColor = disabled;
    update();
}

QString CEdit_Static::Format(int code) const {
    const int value = code < m_minimum ? m_minimum : code;
    LabelConfig config;
    config.minimum = m_minimum;
    // The maximum never limits what a label shows; the text tables stop at their last entry.
    config.maximum = INT_MAX;
    config.rule = m_rule;
    if (m_rule == LabelRule::L14) {
        config.factor = m_step;
        config.offset = m_decimalOffset;
    } else {
        config.factor = m_factor;
        config.offset = m_intOffset;
    }
    QString text = QString::fromStdString(FormatLabel(value, config));
    if (!(m_rule == LabelRule::L47 && value == m_minimum)) {
        text += m_unit;
    }
    return text;
}

void CEdit_Static::SetValue(int code) {
    m_value = code < m_minimum ? m_minimum : code;
    InvalidateParent();
    SetText(Format(m_value));
    // Once more from the event loop, behind the label as it is then (a deleted label drops
    // the call).
    QMetaObject::invokeMethod(this, &CEdit_Static::InvalidateParent, Qt::QueuedConnection);
}

void CEdit_Static::SetText(const QString& text) {
    m_text = text;
    update();
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
}

void CEdit_Static::InvalidateParent() {
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
    update();
}

void CEdit_Static::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(LabelFont());
    p.setPen(isEnabled() ? m_enabledColor : m_disabledColor);
    DrawStaticText(p, rect(), m_text, m_style);
}

}  // namespace qx
