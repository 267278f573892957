#include "BitButton.h"
#include "FocusMark.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include "ControlId.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "SkinFonts.h"

namespace qx {

CBitButton::CBitButton(QWidget* parent, int controlId) : QAbstractButton(parent) {
    SetControlId(this, controlId);
    setFont(CSkinFonts::Arial(13));
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    // Taking the focus on a click lets an edit being typed in commit its value first.
    setFocusPolicy(Qt::StrongFocus);
}

void CBitButton::SetBitmaps(int normal, int hover, int pressed, int checkedNormal, int checkedHover,
                            int checkedPressed) {
    // Drawn at the button's pixel density, on the finer grid rather than scaled.
    const qreal ratio = devicePixelRatioF();
    m_unchecked = {CSkinImage::FromId(normal, ratio), CSkinImage::FromId(hover, ratio),
                   CSkinImage::FromId(pressed, ratio)};
    m_checkedImages = {CSkinImage::FromId(checkedNormal != 0 ? checkedNormal : normal, ratio),
                       CSkinImage::FromId(checkedHover != 0 ? checkedHover : hover, ratio),
                       CSkinImage::FromId(checkedPressed != 0 ? checkedPressed : pressed, ratio)};
    update();
}

void CBitButton::SetDisabledBitmaps(int unchecked, int checked) {
    m_disabledUnchecked = CSkinImage::FromId(unchecked, devicePixelRatioF());
    m_disabledChecked = CSkinImage::FromId(checked, devicePixelRatioF());
    update();
}

void CBitButton::SetTextColors(const QColor& normal, const QColor& hover, const QColor& pressed,
                               const QColor& checkedNormal, const QColor& checkedHover,
                               const QColor& checkedPressed) {
    m_uncheckedText = {normal, hover, pressed};
    m_checkedText = {checkedNormal, checkedHover, checkedPressed};
    update();
}

void CBitButton::SetDisabledTextColor(const QColor& color, bool use) {
    m_disabledText = color;
    m_useDisabledText = use;
    update();
}

void CBitButton::SetKind(Kind kind) {
    m_kind = kind;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, skin::kTextColor);
    setPalette(pal);
    update();
}

void CBitButton::SetCheck(int state) {
    if (m_checked != state) {
        m_checked = state;
        update();
    }
}

CBitButton::State CBitButton::CurrentState() const {
    if (m_hover && m_down) {
        return kPressed;
    }
    return m_hover ? kHover : kNormal;
}

QImage CBitButton::CurrentImage() const {
    const qreal ratio = devicePixelRatioF();
    if (!isEnabled()) {
        return (m_checked != 0 ? m_disabledChecked : m_disabledUnchecked).At(ratio);
    }
    return (m_checked != 0 ? m_checkedImages : m_unchecked)[CurrentState()].At(ratio);
}

QColor CBitButton::CurrentTextColor() const {
    if (!isEnabled()) {
        return m_useDisabledText ? m_disabledText : skin::kButtonShadow;
    }
    return (m_checked != 0 ? m_checkedText : m_uncheckedText)[CurrentState()];
}

QSize CBitButton::sizeHint() const {
    const CSkinImage& image = m_unchecked[kNormal];
    return image.IsNull() ? QSize(86, 25) : image.Size();
}

bool CBitButton::event(QEvent* event) {
    // Moved to a screen of another density: the next paint makes the images for it.
    if (event->type() == QEvent::ScreenChangeInternal) {
        update();
    }
    return QAbstractButton::event(event);
}

void CBitButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintButton(p);
    DrawFocusMarkIfFocused(p, *this);
}

void CBitButton::PaintButton(QPainter& p) {
    if (m_kind != kPushButton) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.text = text();
        option.state |= m_checked != 0 ? QStyle::State_On : QStyle::State_Off;
        if (m_down && m_hover) {
            option.state |= QStyle::State_Sunken;
        }
        style()->drawControl(m_kind == kRadioButton ? QStyle::CE_RadioButton : QStyle::CE_CheckBox,
                             &option, &p, this);
        return;
    }
    const QImage image = CurrentImage();
    if (image.isNull()) {
        p.fillRect(rect(), skin::kButtonFace);
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), image);
    }
    const QString caption = text();
    if (caption.isEmpty()) {
        return;
    }
    p.setFont(font());
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    if (!isEnabled() && !m_useDisabledText) {
        // Embossed: highlight below, shadow one pixel up and to the left.
        p.setPen(skin::kButtonHighlight);
        p.drawText(rect(), flags, caption);
        p.setPen(skin::kButtonShadow);
        p.drawText(rect().translated(-1, -1), flags, caption);
        return;
    }
    p.setPen(CurrentTextColor());
    p.drawText(rect(), flags, caption);
}

void CBitButton::SetHover(bool hover) {
    if (m_hover != hover) {
        m_hover = hover;
        update();
    }
}

void CBitButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    SetHover(true);
}

void CBitButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    SetHover(false);
}

void CBitButton::mouseMoveEvent(QMouseEvent* event) {
    SetHover(rect().contains(event->position().toPoint()));
    QAbstractButton::mouseMoveEvent(event);
}

void CBitButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_down = true;
        SetHover(rect().contains(event->position().toPoint()));
        update();
    }
    QAbstractButton::mousePressEvent(event);
}

void CBitButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_down = false;
        update();
    }
    QAbstractButton::mouseReleaseEvent(event);
}

}  // namespace qx
