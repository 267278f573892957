#pragma once
// A drop-down list combo drawn from edge bitmaps in the dark field colours, with the dark
// list CBitListBox. Selection and items behave as in any combo box.

#include <QColor>
#include <QComboBox>
#include <QImage>

#include "SkinImage.h"

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

    // The edge images as drawn now, at the density they were last made for.
    const QImage& LeftImage() const { return m_left.Held(); }
    const QImage& RightImage() const { return m_right.Held(); }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    CBitListBox* m_list;
    // Made for the combo's pixel density, again when it changes; sizes stay logical.
    CSkinImage m_left;
    CSkinImage m_right;
    CSkinImage m_middle;
    // The list's borders, given to the list at its own density when it opens.
    CSkinImage m_listLeft;
    CSkinImage m_listRight;
    CSkinImage m_listTop;
    CSkinImage m_listBottom;
    QColor m_focusBackground{36, 45, 46};
    QColor m_focusText{255, 255, 255};
    QColor m_normalBackground{36, 45, 46};
    QColor m_normalText{255, 255, 255};
};

}  // namespace qx
