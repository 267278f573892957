#pragma once
// The drop-down list of a skinned combo box: dark field colour, border bitmaps along its
// edges, item texts indented past the left border.

#include <QColor>
#include <QImage>
#include <QListView>

namespace qx {

class CBitListBox : public QListView {
    Q_OBJECT
  public:
    explicit CBitListBox(QWidget* parent = nullptr);

    // Border images (left, right, top, bottom); null images are skipped.
    void SetBorders(const QImage& left, const QImage& right, const QImage& top,
                    const QImage& bottom);
    void SetColors(const QColor& background, const QColor& text);
    // Item texts start this far in: the combo's left edge width plus 5.
    void SetTextIndent(int indent);
    int TextIndent() const { return m_indent; }

    QColor Background() const { return m_background; }
    QColor TextColor() const { return m_text; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage m_left;
    QImage m_right;
    QImage m_top;
    QImage m_bottom;
    QColor m_background{36, 45, 46};
    QColor m_text{255, 255, 255};
    int m_indent = 5;
};

}  // namespace qx
