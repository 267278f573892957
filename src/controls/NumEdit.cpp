#include "NumEdit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "BitmapSlider.h"
#include "ControlId.h"
#include "DataConver.h"
#include "LabelRules.h"
#include "SkinFonts.h"

namespace qx {

namespace {

constexpr double kLowestHz = 19.7;
constexpr double kHighestHz = 20600.0;
const QString kOff = QStringLiteral("OFF");

}  // namespace

CNumEdit::CNumEdit(QWidget* parent, int controlId) : QLineEdit(parent) {
    SetControlId(this, controlId);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setFont(CSkinFonts::Arial(13));
    ApplyColors();
    connect(this, &QLineEdit::textEdited, this, [this] {
        m_modified = 1;
        InvalidateParent();
    });
}

void CNumEdit::SetColors(const QColor& text, const QColor& background) {
    m_textColor = text;
    m_backgroundColor = background;
    ApplyColors();
}

void CNumEdit::ApplyColors() {
    setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; color: %2; "
                                 "border: 1px solid rgb(92, 104, 108); padding: 0px 1px; "
                                 "selection-background-color: rgb(84, 118, 142); "
                                 "selection-color: white; }")
                      .arg(m_backgroundColor.name(), m_textColor.name()));
}

void CNumEdit::SetKind(int mode, const QString& unit) {
    m_mode = mode;
    m_unit = unit;
    Redisplay();
}

void CNumEdit::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_value = minimum;
}

void CNumEdit::SetValue(int code) {
    if (code < m_minimum || code > m_maximum) {
        return;
    }
    m_value = code;
    Redisplay();
}

double CNumEdit::ReadNumber(const QString& text) {
    // Leading blanks, a sign, digits with at most one point; the rest is ignored.
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && text[i].isSpace()) {
        ++i;
    }
    const int start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        ++i;
    }
    bool digits = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

int CNumEdit::GainCode(double shown) const {
    // ((x + offset) * 10) / (step * 10), truncated. The tiny bias keeps values that are exact
    // in decimal (-23.8 dB = code 1) from losing a step to binary rounding.
    const double code = ((shown + m_offset) * 10.0) / (m_step * 10.0);
    return static_cast<int>(std::trunc(code + (code >= 0 ? 1e-7 : -1e-7)));
}

int CNumEdit::ClampToRange(int code) const {
    return m_maximum > m_minimum ? std::clamp(code, m_minimum, m_maximum) : code;
}

int CNumEdit::GetValue() {
    if (m_modified != 0) {
        const QString t = text();
        switch (m_mode) {
            case kModeFrequency: {
                const double x = ReadNumber(t);
                if (x >= kLowestHz && x <= kHighestHz) {
                    m_value = ClampToRange(FreqToCode(x));
                }
                break;
            }
            case kModeGain: {
                const double x = t == kOff ? -120.0 : ReadNumber(t);
                if (m_step != 0.0 && x >= Lower() && x <= Upper()) {
                    m_value = GainCode(x);
                }
                break;
            }
            case kModeQ: {
                const double x = std::clamp(ReadNumber(t), CodeToQ(0), CodeToQ(kMaxQCode));
                m_value = ClampToRange(QToCode(x));
                break;
            }
            default:
                break;
        }
        m_modified = 0;
    }
    return m_value;
}

void CNumEdit::Redisplay() {
    QString shown;
    switch (m_mode) {
        case kModeFrequency:
            shown = QString::fromStdString(FormatFrequency(CodeToFreq(m_value))) + m_unit;
            break;
        case kModeQ:
            shown = QString::asprintf("%0.3f", CodeToQ(m_value));
            break;
        case kModeGain:
            shown = QString::asprintf("%0.1f", m_value * m_step - m_offset);
            break;
        default:
            break;
    }
    setText(shown);
    InvalidateParent();
}

void CNumEdit::Commit() {
    const QString t = text();
    switch (m_mode) {
        case kModeFrequency: {
            const double x = std::clamp(ReadNumber(t), kLowestHz, kHighestHz);
            m_value = ClampToRange(FreqToCode(x));
            if (m_modified != 0) {
                Redisplay();
                Notify();
            }
            break;
        }
        case kModeGain: {
            double x = t == kOff ? -120.0 : ReadNumber(t);
            x = std::clamp(x, std::min(Lower(), Upper()), std::max(Lower(), Upper()));
            if (m_modified != 0 && m_step != 0.0) {
                m_value = GainCode(x);
                Redisplay();
                Notify();
            }
            break;
        }
        case kModeQ: {
            const double x = std::clamp(ReadNumber(t), CodeToQ(0), CodeToQ(kMaxQCode));
            if (m_modified != 0) {
                m_value = ClampToRange(QToCode(x));
                Redisplay();
                Notify();
            }
            break;
        }
        default:
            break;
    }
    // The parent has read the value while handling the notification; a later focus change
    // without typing must not report it again.
    m_modified = 0;
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
    if (m_companion != nullptr) {
        m_companion->SetFocusLook(false);
    }
}

void CNumEdit::Notify() {
    emit ValueCommitted(ControlId(this));
}

void CNumEdit::InvalidateParent() {
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry().adjusted(2, 2, -2, -2));
    }
}

void CNumEdit::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly() && (event->modifiers() & Qt::ShiftModifier)) {
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter keeps the focus here and only collapses the selection.
        setFocus(Qt::OtherFocusReason);
        deselect();
        event->accept();
        return;
    }
    if ((event->modifiers() & Qt::ControlModifier) == 0) {
        if (key == Qt::Key_Up) {
            if (m_value + 1 > m_maximum) {
                m_value = m_maximum;
            } else {
                ++m_value;
                Redisplay();
                Notify();
            }
        } else if (key == Qt::Key_Down) {
            if (m_value - 1 < m_minimum) {
                m_value = m_minimum;
            } else {
                --m_value;
                Redisplay();
                Notify();
            }
        }
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && key != Qt::Key_Backspace && key != Qt::Key_Tab) {
        const QChar c = typed.front();
        const bool allowed =
            (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == u'\b' || c == u'\t';
        if (!allowed) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void CNumEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Notify();
        InvalidateParent();
    }
    QLineEdit::mousePressEvent(event);
}

void CNumEdit::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    m_wheel = static_cast<qint16>(std::clamp(m_wheel + delta, -120, 120));
    if (m_wheel >= 120) {
        SetValue(m_value + 1);
        m_wheel = 0;
    } else if (m_wheel <= -120) {
        SetValue(m_value - 1);
        m_wheel = 0;
    }
    Notify();
    event->accept();
}

void CNumEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
    if (m_companion != nullptr) {
        m_companion->SetFocusLook(true);
    }
    if (!isReadOnly()) {
        // After the press that gave the focus has placed the cursor.
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) {
                selectAll();
            }
        });
    }
}

void CNumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    Commit();
}

}  // namespace qx
