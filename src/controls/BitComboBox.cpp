#include "BitComboBox.h"
#include "FocusMark.h"

#include "StaticStyle.h"

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

QImage Load(int id) {
    return id != 0 ? CSkinBitmaps::Get(id) : QImage();
}

}  // namespace

CBitComboBox::CBitComboBox(QWidget* parent, int controlId)
    : QComboBox(parent), m_list(new CBitListBox(this)) {
    SetControlId(this, controlId);
    setFont(CSkinFonts::Arial(13));
    setView(m_list);
    m_list->setFont(font());
}

void CBitComboBox::SetEdgeBitmaps(int left, int right, int middle) {
    m_left = Load(left);
    m_right = Load(right);
    m_middle = Load(middle);
    m_list->SetTextIndent((m_left.isNull() ? 0 : m_left.width()) + 5);
    update();
}

void CBitComboBox::SetListBitmaps(int left, int right, int top, int bottom) {
    m_list->SetBorders(Load(left), Load(right), Load(top), Load(bottom));
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
    sharedIndent = (m_left.isNull() ? 0 : m_left.width()) + 5;
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
    const int rightW = m_right.isNull() ? 20 : m_right.width();
    const int indent = std::max(sharedIndent, (m_left.isNull() ? 0 : m_left.width()) + 5);
    return width() - rightW - indent;
}

void CBitComboBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    const int leftW = m_left.isNull() ? 1 : m_left.width();
    const int rightW = m_right.isNull() ? 20 : m_right.width();
    p.fillRect(rect(), m_normalBackground);
    auto part = [&p](const QRect& target, const QImage& image) {
        if (image.isNull()) {
            p.fillRect(target, skin::kButtonFace);
        } else {
            p.drawImage(target, image);
        }
    };
    const int leftH = m_left.isNull() ? h : m_left.height();
    const int rightH = m_right.isNull() ? h : m_right.height();
    const int middleH = m_middle.isNull() ? h : m_middle.height();
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
