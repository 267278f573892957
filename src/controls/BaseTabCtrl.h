#pragma once
// A tab control drawn by the editor: a row of tabs above a display area that holds the pages.
// The drawing mode chooses between the style's drawing (0), the style's frame with items drawn
// by DrawItem (1), and drawing everything here (2). The drawing operations are virtual.

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;

namespace qx {

// Channels multiplied by a factor: Darker clamps the factor to 0..1, Lighter caps at 255.
QColor Darker(const QColor& color, double factor);
QColor Lighter(const QColor& color, double factor);

// One item as the drawing operations get it.
struct TabItemDraw {
    int index = -1;
    QPainter* painter = nullptr;
    QRect rect;
};

class CBaseTabCtrl : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeaderTop = 2;
    static constexpr int kItemHeight = 19;

    explicit CBaseTabCtrl(QWidget* parent = nullptr, int drawMode = 2, int controlId = 0);

    // An invalid colour stands for the system button face.
    void SetBackgroundColor(const QColor& color);
    QColor BackgroundColor() const { return m_background; }
    bool SetDrawMode(int mode);
    int DrawMode() const { return m_drawMode; }

    int InsertItem(int index, const QString& text, int image = -1);
    void SetItemText(int index, const QString& text);
    QString ItemText(int index) const;
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    void DeleteAllItems();
    // Selecting from the program does not emit SelChange, as with the system control.
    void SetCurSel(int index);
    int GetCurSel() const { return m_current; }
    void SetImageList(const QList<QImage>& images);
    // A fixed tab width (0: each tab as wide as its text needs).
    void SetItemWidth(int width);

    QRect GetItemRect(int index) const;
    // The area below the tabs where pages go.
    QRect DisplayRect() const;
    // The colour depth the drawing assumes; 0 asks the device painted on.
    void SetDisplayDepth(int bits) { m_depth = bits; }

    // Drawing operations, in the order the row is painted.
    virtual void DrawItem(const TabItemDraw& item) = 0;
    virtual void DrawMainBorder(const TabItemDraw& item) = 0;
    virtual void DrawItemBorder(const TabItemDraw& item) = 0;
    virtual QColor GetTabColor(bool selected) const;
    virtual QColor GetTabTextColor(bool selected) const;

    // Paints the whole control with painter (used by paintEvent, benchmarks and tests).
    void PaintAll(QPainter& painter);

    QSize sizeHint() const override;

  signals:
    void SelChange(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    int ColorDepth(QPainter& painter) const;
    const QList<QImage>& ImageList() const { return m_images; }
    int ItemImage(int index) const;

  private:
    struct Item {
        QString text;
        int image = -1;
    };
    void Relayout();
    void EraseHeader(QPainter& painter);

    QColor m_background{56, 62, 66};
    int m_drawMode;
    QList<Item> m_items;
    QList<QRect> m_rects;
    QList<QImage> m_images;
    int m_current = -1;
    int m_itemWidth = 0;
    int m_depth = 0;
};

}  // namespace qx
