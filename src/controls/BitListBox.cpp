#include "BitListBox.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace qx {

namespace {

// Items in the list's text colour, indented past its left border; the hovered or current item
// is marked by a lighter band.
class CListDelegate : public QStyledItemDelegate {
  public:
    explicit CListDelegate(CBitListBox* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        const bool marked =
            (option.state & QStyle::State_Selected) || (option.state & QStyle::State_MouseOver);
        if (marked) {
            painter->fillRect(option.rect, QColor(84, 118, 142));
        }
        painter->setPen(m_list->TextColor());
        painter->setFont(option.font);
        const QRect textRect = option.rect.adjusted(m_list->TextIndent(), 0, 0, 0);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), 18));
        return size;
    }

  private:
    CBitListBox* m_list;
};

}  // namespace

CBitListBox::CBitListBox(QWidget* parent) : QListView(parent) {
    setItemDelegate(new CListDelegate(this));
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    SetColors(m_background, m_text);
}

void CBitListBox::SetBorders(const QImage& left, const QImage& right, const QImage& top,
                             const QImage& bottom) {
    m_left = left;
    m_right = right;
    m_top = top;
    m_bottom = bottom;
    viewport()->update();
}

void CBitListBox::SetColors(const QColor& background, const QColor& text) {
    m_background = background;
    m_text = text;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::Text, text);
    setPalette(pal);
    viewport()->update();
}

void CBitListBox::SetTextIndent(int indent) {
    m_indent = indent;
    viewport()->update();
}

void CBitListBox::paintEvent(QPaintEvent* event) {
    {
        QPainter p(viewport());
        p.fillRect(viewport()->rect(), m_background);
    }
    QListView::paintEvent(event);
    QPainter p(viewport());
    const QRect r = viewport()->rect();
    // Border images may be made for a denser screen: their logical sizes place them.
    auto logical = [](const QImage& image) { return image.deviceIndependentSize().toSize(); };
    if (!m_left.isNull()) {
        p.drawImage(QRect(0, 0, logical(m_left).width(), r.height()), m_left);
    }
    if (!m_right.isNull()) {
        const int w = logical(m_right).width();
        p.drawImage(QRect(r.width() - w, 0, w, r.height()), m_right);
    }
    if (!m_top.isNull()) {
        p.drawImage(QRect(0, 0, r.width(), logical(m_top).height()), m_top);
    }
    if (!m_bottom.isNull()) {
        const int h = logical(m_bottom).height();
        p.drawImage(QRect(0, r.height() - h, r.width(), h), m_bottom);
    }
}

}  // namespace qx
