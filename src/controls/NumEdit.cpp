#include "NumEdit.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QStringList>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "BitmapSlider.h"
#include "ControlId.h"
#include "DataConver.h"
#include "LabelRules.h"
#include "NumEditText.h"
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
    // Typing, pasting (keys or the context menu) and inserting all pass this check.
    m_validator = new CNumEditValidator(m_mode, this);
    setValidator(m_validator);
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
    m_validator->SetMode(mode);
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
        // A value read in the middle of typing is taken only when the text is a value inside
        // the range as it stands; clamping waits for the commit.
        const std::optional<double> x = ParseTypedValue(text(), m_mode);
        if (x) {
            switch (m_mode) {
                case kModeFrequency:
                    if (*x >= kLowestHz && *x <= kHighestHz) {
                        m_value = ClampToRange(FreqToCode(*x));
                    }
                    break;
                case kModeGain:
                    if (m_step != 0.0 && *x >= Lower() && *x <= Upper()) {
                        m_value = GainCode(*x);
                    }
                    break;
                case kModeQ:
                    m_value = ClampToRange(QToCode(std::clamp(*x, CodeToQ(0), CodeToQ(kMaxQCode))));
                    break;
                default:
                    break;
            }
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
    KeepWidestTextVisible();
    InvalidateParent();
}

void CNumEdit::KeepWidestTextVisible() {
    QStringList widest;
    switch (m_mode) {
        case kModeFrequency:
            widest << QString::fromStdString(FormatFrequency(kHighestHz)) + m_unit;
            break;
        case kModeQ:
            widest << QString::asprintf("%0.3f", CodeToQ(m_maximum));
            break;
        case kModeGain:
            widest << QString::asprintf("%0.1f", Lower()) << QString::asprintf("%0.1f", Upper());
            break;
        default:
            return;
    }
    // The frame, the style's padding and the line edit's own text margins.
    constexpr int kChrome = 8;
    constexpr int kSmallestPixels = 8;
    // A narrow box keeps its place among its neighbours and takes a smaller font instead.
    QFont f = CSkinFonts::Arial(13);
    for (;;) {
        const QFontMetrics metrics(f);
        int needed = 0;
        for (const QString& t : widest) {
            needed = std::max(needed, metrics.horizontalAdvance(t));
        }
        if (needed + kChrome <= width() || f.pixelSize() <= kSmallestPixels) {
            break;
        }
        f.setPixelSize(f.pixelSize() - 1);
    }
    if (f != font()) {
        setFont(f);
    }
}

void CNumEdit::Commit() {
    if (m_modified != 0) {
        const std::optional<int> code = TypedCode(text());
        // The value is settled before anyone hears of it, so a read while handling the
        // notification does not parse the text again.
        m_modified = 0;
        if (code) {
            m_value = *code;
            Redisplay();
            Notify();
        } else {
            // Not a value: nothing is sent and the box shows again what it holds.
            Redisplay();
        }
    }
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
    if (m_companion != nullptr) {
        m_companion->SetFocusLook(false);
    }
}

std::optional<int> CNumEdit::TypedCode(const QString& typed) const {
    const std::optional<double> parsed = ParseTypedValue(typed, m_mode);
    if (!parsed) {
        return std::nullopt;
    }
    switch (m_mode) {
        case kModeFrequency:
            return ClampToRange(FreqToCode(std::clamp(*parsed, kLowestHz, kHighestHz)));
        case kModeGain:
            if (m_step == 0.0) {
                return std::nullopt;
            }
            return ClampToRange(GainCode(
                std::clamp(*parsed, std::min(Lower(), Upper()), std::max(Lower(), Upper()))));
        case kModeQ:
            return ClampToRange(QToCode(std::clamp(*parsed, CodeToQ(0), CodeToQ(kMaxQCode))));
        default:
            return std::nullopt;
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
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Copy) ||
        event->matches(QKeySequence::Cut) || event->matches(QKeySequence::SelectAll)) {
        // The clipboard's text is checked as a whole by the validator.
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && key != Qt::Key_Backspace && key != Qt::Key_Tab) {
        const QChar c = typed.front();
        const bool multiplier = m_mode == kModeFrequency && (c == u'k' || c == u'K');
        const bool allowed = (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == u'\b' ||
                             c == u'\t' || multiplier;
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

void CNumEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    KeepWidestTextVisible();
}

void CNumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    Commit();
}

}  // namespace qx
