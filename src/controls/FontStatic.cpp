#include "FontStatic.h"

#include "StaticStyle.h"

#include <QMessageBox>
#include <QPainter>

#include "ControlId.h"
#include "SkinFonts.h"

namespace qx {

namespace {

constexpr int kLargestFont = 2000;

CFontStatic::FailureReporter& Reporter() {
    static CFontStatic::FailureReporter reporter = [](const QString& message) {
        QMessageBox::warning(nullptr, QString(), message);
    };
    return reporter;
}

}  // namespace

CFontStatic::CFontStatic(QWidget* parent, int controlId) : QWidget(parent) {
    SetControlId(this, controlId);
}

QString CFontStatic::FailureText() {
    return QStringLiteral("字体不能创建!");
}

void CFontStatic::SetFailureReporter(FailureReporter reporter) {
    Reporter() = std::move(reporter);
}

void CFontStatic::SetTextColor(const QColor& color) {
    if (color != m_textColor) {
        m_textColor = color;
        update();
        if (parentWidget() != nullptr) {
            parentWidget()->update(geometry());
        }
    }
}

void CFontStatic::SetBackground(const QColor& color, bool fill) {
    m_background = color;
    m_fill = fill;
    update();
}

void CFontStatic::SetFontHeight(int pixels) {
    m_fontHeight = pixels;
    update();
}

void CFontStatic::SetText(const QString& text) {
    m_text = text;
    update();
    if (parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
}

void CFontStatic::SetLeftAligned(bool left) {
    m_left = left;
    update();
}

void CFontStatic::SetRightAligned(bool right) {
    m_right = right;
    update();
}

QFont CFontStatic::TextFont() const {
    return CSkinFonts::Arial(m_fontHeight);
}

void CFontStatic::paintEvent(QPaintEvent*) {
    if (m_fontHeight <= 0 || m_fontHeight > kLargestFont) {
        // No font of that height can be made.
        if (Reporter()) {
            Reporter()(FailureText());
        }
        return;
    }
    QPainter p(this);
    if (m_fill) {
        p.fillRect(rect(), m_background);
    }
    p.setFont(FittedFont(TextFont(), m_text, width()));
    p.setPen(m_textColor);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    if (m_left) {
        flags |= Qt::AlignLeft;
    } else if (m_right) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignHCenter;
    }
    p.drawText(rect(), flags, m_text);
}

}  // namespace qx
