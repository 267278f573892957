#include "BaseTabCtrl.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <algorithm>

#include "ControlId.h"
#include "SkinColors.h"
#include "SkinFonts.h"

namespace qx {

QColor Darker(const QColor& color, double factor) {
    const double f = std::clamp(factor, 0.0, 1.0);
    return QColor(static_cast<int>(color.red() * f), static_cast<int>(color.green() * f),
                  static_cast<int>(color.blue() * f));
}

QColor Lighter(const QColor& color, double factor) {
    auto channel = [factor](int c) { return std::min(static_cast<int>(c * factor), 255); };
    return QColor(channel(color.red()), channel(color.green()), channel(color.blue()));
}

CBaseTabCtrl::CBaseTabCtrl(QWidget* parent, int drawMode, int controlId)
    : QWidget(parent), m_drawMode(drawMode >= 0 && drawMode <= 2 ? drawMode : 0) {
    SetControlId(this, controlId);
    setFont(CSkinFonts::Arial(13));
}

void CBaseTabCtrl::SetBackgroundColor(const QColor& color) {
    m_background = color;
    update();
}

bool CBaseTabCtrl::SetDrawMode(int mode) {
    if (mode < 0 || mode > 2) {
        return false;
    }
    m_drawMode = mode;
    update();
    return true;
}

int CBaseTabCtrl::InsertItem(int index, const QString& text, int image) {
    index = std::clamp(index, 0, GetItemCount());
    m_items.insert(index, Item{text, image});
    if (m_current < 0) {
        m_current = 0;
    } else if (index <= m_current && GetItemCount() > 1) {
        ++m_current;
    }
    Relayout();
    return index;
}

void CBaseTabCtrl::SetItemText(int index, const QString& text) {
    if (index >= 0 && index < GetItemCount()) {
        m_items[index].text = text;
        Relayout();
    }
}

QString CBaseTabCtrl::ItemText(int index) const {
    return index >= 0 && index < GetItemCount() ? m_items[index].text : QString();
}

void CBaseTabCtrl::DeleteAllItems() {
    m_items.clear();
    m_current = -1;
    Relayout();
}

void CBaseTabCtrl::SetCurSel(int index) {
    if (index >= 0 && index < GetItemCount() && index != m_current) {
        m_current = index;
        update();
    }
}

void CBaseTabCtrl::SetImageList(const QList<QImage>& images) {
    m_images = images;
    Relayout();
}

void CBaseTabCtrl::SetItemWidth(int width) {
    m_itemWidth = width;
    Relayout();
}

int CBaseTabCtrl::ItemImage(int index) const {
    return index >= 0 && index < GetItemCount() ? m_items[index].image : -1;
}

void CBaseTabCtrl::Relayout() {
    m_rects.clear();
    const QFontMetrics metrics(font());
    int x = 2;
    for (const Item& item : m_items) {
        int w = m_itemWidth;
        if (w <= 0) {
            w = metrics.horizontalAdvance(item.text) + 2 * 9;
            if (!m_images.isEmpty() && item.image >= 0) {
                w += 19;
            }
            w = std::max(w, 40);
        }
        m_rects.append(QRect(x, kHeaderTop, w, kItemHeight));
        x += w;
    }
    update();
}

QRect CBaseTabCtrl::GetItemRect(int index) const {
    return index >= 0 && index < m_rects.size() ? m_rects[index] : QRect();
}

QRect CBaseTabCtrl::DisplayRect() const {
    const int top = kHeaderTop + kItemHeight + 2;
    return QRect(2, top, std::max(width() - 4, 0), std::max(height() - top - 2, 0));
}

QColor CBaseTabCtrl::GetTabColor(bool) const {
    return skin::kButtonFace;
}

QColor CBaseTabCtrl::GetTabTextColor(bool) const {
    return skin::kWindowText;
}

int CBaseTabCtrl::ColorDepth(QPainter& painter) const {
    if (m_depth > 0) {
        return m_depth;
    }
    return painter.device() != nullptr ? painter.device()->depth() : 32;
}

QSize CBaseTabCtrl::sizeHint() const {
    return QSize(600, 300);
}

void CBaseTabCtrl::EraseHeader(QPainter& painter) {
    if (m_rects.isEmpty()) {
        return;
    }
    QRect all = m_rects.front();
    for (const QRect& r : m_rects) {
        all = all.united(r);
    }
    const QColor row = skin::kTabRowColor;
    painter.fillRect(all.adjusted(-2, -3, 2, 3), row);
    const int tall = kItemHeight + 2;
    painter.fillRect(QRect(0, 0, 2, tall), row);
    const int rightStart = all.right() + 1 - 2;
    painter.fillRect(QRect(rightStart, 0, std::max(width() - rightStart, 0), tall), row);
}

void CBaseTabCtrl::PaintAll(QPainter& painter) {
    painter.fillRect(rect(), skin::kPageColor);
    EraseHeader(painter);
    painter.setFont(font());
    if (m_drawMode == 0) {
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = DisplayRect().adjusted(0, -2, 0, 0);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
        for (int i = 0; i < GetItemCount(); ++i) {
            QStyleOptionTab tab;
            tab.initFrom(this);
            tab.rect = m_rects[i];
            tab.text = m_items[i].text;
            tab.shape = QTabBar::RoundedNorth;
            if (i == m_current) {
                tab.state |= QStyle::State_Selected;
            }
            style()->drawControl(QStyle::CE_TabBarTab, &tab, &painter, this);
        }
        return;
    }
    if (m_drawMode == 1) {
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.rect = DisplayRect().adjusted(0, -2, 0, 0);
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
        for (int i = 0; i < GetItemCount(); ++i) {
            DrawItem(TabItemDraw{i, &painter, m_rects[i]});
        }
        return;
    }
    if (m_items.isEmpty()) {
        return;
    }
    DrawMainBorder(TabItemDraw{-1, &painter, DisplayRect().adjusted(0, -2, 0, 0)});
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        if (i == m_current) {
            continue;
        }
        const TabItemDraw item{i, &painter, m_rects[i].adjusted(0, 0, 0, -2)};
        DrawItem(item);
        DrawItemBorder(item);
    }
    if (m_current >= 0) {
        const TabItemDraw item{m_current, &painter, m_rects[m_current].adjusted(0, -2, 0, 2)};
        DrawItem(item);
        DrawItemBorder(item);
    }
}

void CBaseTabCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintAll(painter);
}

void CBaseTabCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    for (int i = 0; i < m_rects.size(); ++i) {
        if (m_rects[i].contains(point)) {
            if (i != m_current) {
                m_current = i;
                update();
                emit SelChange(i);
            }
            return;
        }
    }
}

void CBaseTabCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

}  // namespace qx
