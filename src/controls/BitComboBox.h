#pragma once
// A drop-down list combo drawn from edge bitmaps in the dark field colours, with the dark
// list CBitListBox. Selection and items behave as in any combo box.

#include <QColor>
#include <QComboBox>
#include <QImage>

namespace qx {

class CBitListBox;

class CBitComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit CBitComboBox(QWidget* parent = nullptr, int controlId = 0);

    void SetEdgeBitmaps(int left, int right, int middle);
    void SetListBitmaps(int left, int right, int top, int bottom);
    void SetFocusColors(const QColor& background, const QColor& text);
    void SetNormalColors(const QColor& background, const QColor& text);

    CBitListBox* List() const { return m_list; }
    // Where every skinned combo starts its text: 0 until one of them has shown its list, then
    // the left edge's width plus 5.
    static int TextIndent();
    static void ResetTextIndent();

    void showPopup() override;

    // The width the shown item's text may take once the text stands at its indent.
    int TextRoom() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    CBitListBox* m_list;
    QImage m_left;
    QImage m_right;
    QImage m_middle;
    QColor m_focusBackground{36, 45, 46};
    QColor m_focusText{255, 255, 255};
    QColor m_normalBackground{36, 45, 46};
    QColor m_normalText{255, 255, 255};
};

}  // namespace qx
