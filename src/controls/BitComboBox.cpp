#include "BitComboBox.h"
#include "FocusMark.h"

#include "StaticStyle.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

#include "BitListBox.h"
#include "ControlId.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "SkinFonts.h"

namespace qx {

namespace {

int sharedIndent = 0;

}  // namespace

CBitComboBox::CBitComboBox(QWidget* parent, int controlId)
    : QComboBox(parent), m_list(new CBitListBox(this)) {
    SetControlId(this, controlId);
    setFont(CSkinFonts::Arial(13));
    setView(m_list);
    m_list->setFont(font());
}

void CBitComboBox::SetEdgeBitmaps(int left, int right, int middle) {
    const qreal ratio = devicePixelRatioF();
    m_left = CSkinImage::FromId(left, ratio);
    m_right = CSkinImage::FromId(right, ratio);
    m_middle = CSkinImage::FromId(middle, ratio);
    m_list->SetTextIndent((m_left.IsNull() ? 0 : m_left.Width()) + 5);
    update();
}

void CBitComboBox::SetListBitmaps(int left, int right, int top, int bottom) {
    const qreal ratio = devicePixelRatioF();
    m_listLeft = CSkinImage::FromId(left, ratio);
    m_listRight = CSkinImage::FromId(right, ratio);
    m_listTop = CSkinImage::FromId(top, ratio);
    m_listBottom = CSkinImage::FromId(bottom, ratio);
    m_list->SetBorders(m_listLeft.Held(), m_listRight.Held(), m_listTop.Held(),
                       m_listBottom.Held());
}

void CBitComboBox::SetFocusColors(const QColor& background, const QColor& text) {
    m_focusBackground = background;
    m_focusText = text;
    update();
}

void CBitComboBox::SetNormalColors(const QColor& background, const QColor& text) {
    m_normalBackground = background;
    m_normalText = text;
    m_list->SetColors(background, text);
    update();
}

int CBitComboBox::TextIndent() {
    return sharedIndent;
}

void CBitComboBox::ResetTextIndent() {
    sharedIndent = 0;
}

void CBitComboBox::showPopup() {
    QComboBox::showPopup();
    // The list opens on the combo's screen; its borders are made for that density.
    const qreal ratio = m_list->devicePixelRatioF();
    m_list->SetBorders(m_listLeft.At(ratio), m_listRight.At(ratio), m_listTop.At(ratio),
                       m_listBottom.At(ratio));
    sharedIndent = (m_left.IsNull() ? 0 : m_left.Width()) + 5;
    // The popup frame around the list must not show the system colours.
    if (QWidget* frame = m_list->parentWidget()) {
        QPalette pal = frame->palette();
        pal.setColor(QPalette::Window, m_normalBackground);
        pal.setColor(QPalette::Base, m_normalBackground);
        frame->setPalette(pal);
    }
    update();
}

int CBitComboBox::TextRoom() const {
    const int rightW = m_right.IsNull() ? 20 : m_right.Width();
    const int indent = std::max(sharedIndent, (m_left.IsNull() ? 0 : m_left.Width()) + 5);
    return width() - rightW - indent;
}

bool CBitComboBox::event(QEvent* event) {
    // Moved to a screen of another density: the next paint makes the images for it.
    if (event->type() == QEvent::ScreenChangeInternal) {
        update();
    }
    return QComboBox::event(event);
}

void CBitComboBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    const int leftW = m_left.IsNull() ? 1 : m_left.Width();
    const int rightW = m_right.IsNull() ? 20 : m_right.Width();
    p.fillRect(rect(), m_normalBackground);
    // The edges at the combo's density: drawn on the finer grid, not blown up.
    const qreal ratio = devicePixelRatioF();
    auto part = [&p, ratio](const QRect& target, const CSkinImage& image) {
        if (image.IsNull()) {
            p.fillRect(target, skin::kButtonFace);
        } else {
            p.drawImage(target, image.At(ratio));
        }
    };
    const int leftH = m_left.IsNull() ? h : m_left.Height();
    const int rightH = m_right.IsNull() ? h : m_right.Height();
    const int middleH = m_middle.IsNull() ? h : m_middle.Height();
    part(QRect(0, 0, leftW, leftH), m_left);
    part(QRect(w - rightW, 0, rightW, rightH), m_right);
    part(QRect(leftW, 0, w - leftW - rightW, middleH), m_middle);
    const bool focused = hasFocus();
    const QRect inner(QPoint(leftW, 3), QPoint(w - rightW - 1, h - 8 - 1));
    p.fillRect(inner, focused ? m_focusBackground : m_normalBackground);
    // A combo that cannot be used shows its choice in the greyed text of read-only controls.
    p.setPen(!isEnabled() ? skin::kDisabledText : focused ? m_focusText : m_normalText);
    // The text is centred on the edge bitmaps' band rather than on the inner rectangle alone,
    // so that descenders are not cut at the usual combo heights.
    const int band = std::min(h, std::max(middleH, inner.bottom() + 1));
    const QRect textRect(QPoint(sharedIndent, 1), QPoint(inner.right(), band - 2));
    p.setFont(FittedFont(font(), currentText(), std::min(textRect.width(), TextRoom())));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, currentText());
    DrawFocusMarkIfFocused(p, *this);
}

void CBitComboBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    update();
}

void CBitComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    update();
}

}  // namespace qx
