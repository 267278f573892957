#include "EnTabCtrl.h"

#include <QFontMetrics>
#include <QPainter>

#include "SkinColors.h"

namespace qx {

namespace {

int lookFlags = 0;

const QColor kRow{56, 62, 66};
const QColor kRowLight{86, 92, 96};

}  // namespace

CEnTabCtrl::CEnTabCtrl(QWidget* parent, int drawMode, int controlId)
    : CBaseTabCtrl(parent, drawMode, controlId) {}

void CEnTabCtrl::SetLook(bool enable, int flags) {
    lookFlags = enable ? flags : 0;
}

int CEnTabCtrl::Look() {
    return lookFlags;
}

QColor CEnTabCtrl::GetTabColor(bool selected) const {
    if (selected) {
        if (lookFlags & kSelectedPalette) {
            return Lighter((lookFlags & kBackgroundColours) ? kRowLight : kRow, 1.9);
        }
        return skin::kButtonFace;
    }
    if ((lookFlags & kCustomLook) && !(lookFlags & kLightUnselected)) {
        return kRow;
    }
    return Lighter(kRow, 1.9);
}

QColor CEnTabCtrl::GetTabTextColor(bool selected) const {
    if (selected) {
        return QColor(255, 0, 0);
    }
    if (!(lookFlags & kCustomLook) && !(lookFlags & kBackgroundColours)) {
        return Darker(skin::kButtonFace, 0.5);
    }
    const QColor background = BackgroundColor().isValid() ? BackgroundColor() : skin::kButtonFace;
    return Darker(background, 0.1);
}

QColor CEnTabCtrl::BandColor(const QColor& start, const QColor& end, int y, int height) {
    if (height <= 0) {
        return start;
    }
    auto channel = [y, height](int s, int e) { return s + y * (e - s) / height; };
    return QColor(channel(start.red(), end.red()), channel(start.green(), end.green()),
                  channel(start.blue(), end.blue()));
}

void CEnTabCtrl::DrawItem(const TabItemDraw& item) {
    QPainter& p = *item.painter;
    const bool selected = item.index == GetCurSel();
    QRect fill = item.rect;
    fill.setBottom(fill.bottom() + (selected ? -1 : 2));
    const QColor start = GetTabColor(selected);
    if ((lookFlags & kGradient) && ColorDepth(p) > 15) {
        QColor end;
        if (selected) {
            end = skin::kButtonFace;
        } else {
            const bool own = (lookFlags & kBackgroundColours) && BackgroundColor().isValid();
            end = Darker(own ? BackgroundColor() : skin::kButtonFace, 0.7);
        }
        const int height = fill.height();
        for (int y = 0; y < height; y += 2) {
            p.fillRect(QRect(fill.left(), fill.top() + y, fill.width(), std::min(2, height - y)),
                       BandColor(start, end, y, height));
        }
    } else {
        p.fillRect(fill, start);
    }
    QRect text = item.rect;
    text.setLeft(text.left() + 3);
    text.setTop(text.top() + 3 + (selected ? 1 : 0));
    text.setRight(text.right() - 3);
    const int image = ItemImage(item.index);
    if (image >= 0 && image < ImageList().size()) {
        p.drawImage(text.topLeft(), ImageList()[image]);
        text.setLeft(text.left() + 19);
    }
    const QString caption = ItemText(item.index).left(99);
    const QString shown = p.fontMetrics().elidedText(caption, Qt::ElideRight, text.width());
    p.setPen(GetTabTextColor(selected));
    p.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, shown);
}

void CEnTabCtrl::DrawItemBorder(const TabItemDraw& item) {
    if (!(lookFlags & kCustomLook)) {
        return;
    }
    QPainter& p = *item.painter;
    const bool selected = item.index == GetCurSel();
    const QColor colour = GetTabColor(selected);
    const QColor light = Lighter(colour, 1.5);
    const QColor dark = Darker(colour, 0.75);
    QRect r = item.rect;
    if (selected || (lookFlags & kLightUnselected)) {
        r.setBottom(r.bottom() + (selected ? -1 : 1));
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), light);
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), light);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), dark);
    } else {
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), dark);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), dark);
    }
}

void CEnTabCtrl::DrawMainBorder(const TabItemDraw& item) {
    QPainter& p = *item.painter;
    const QColor colour = GetTabColor(false);
    const QColor topLeft = Lighter(colour, 1.5);
    const QColor bottomRight = Darker(colour, 0.75);
    const QRect r = item.rect;
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

}  // namespace qx
