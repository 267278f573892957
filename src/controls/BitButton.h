#pragma once
// A push button drawn from skin bitmaps: unchecked and checked images for the normal, hover
// and pressed states, disabled images, and a text colour per state. It sends the usual
// clicked() signal and nothing else.

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <array>

#include "SkinImage.h"

class QPainter;

namespace qx {

class CBitButton : public QAbstractButton {
    Q_OBJECT
  public:
    enum State { kNormal = 0, kHover = 1, kPressed = 2 };

    explicit CBitButton(QWidget* parent = nullptr, int controlId = 0);

    // Resource ids; a checked id of 0 takes the matching unchecked id.
    void SetBitmaps(int normal, int hover, int pressed, int checkedNormal = 0, int checkedHover = 0,
                    int checkedPressed = 0);
    void SetDisabledBitmaps(int unchecked, int checked);
    void SetTextColors(const QColor& normal, const QColor& hover, const QColor& pressed,
                       const QColor& checkedNormal, const QColor& checkedHover,
                       const QColor& checkedPressed);
    void SetDisabledTextColor(const QColor& color, bool use = true);
    // Check boxes and radio buttons keep the style's drawing (with the skin's white text);
    // every other button is drawn from its bitmaps.
    enum Kind { kPushButton, kCheckBox, kRadioButton };
    void SetKind(Kind kind);
    Kind GetKind() const { return m_kind; }

    void SetCheck(int state);
    int GetCheck() const { return m_checked; }

    bool IsHover() const { return m_hover; }
    bool IsDown() const { return m_down; }
    // The state the button draws now (kNormal, kHover or kPressed).
    State CurrentState() const;
    // The image and text colour the button draws now, at the button's pixel density; a null
    // image means a button-face fill.
    QImage CurrentImage() const;
    QColor CurrentTextColor() const;

    QSize sizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void PaintButton(QPainter& p);
    void SetHover(bool hover);

    std::array<CSkinImage, 3> m_unchecked;
    std::array<CSkinImage, 3> m_checkedImages;
    std::array<QColor, 3> m_uncheckedText{QColor(255, 255, 255), QColor(0, 0, 0), QColor(0, 0, 0)};
    std::array<QColor, 3> m_checkedText{QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)};
    int m_checked = 0;
    CSkinImage m_disabledUnchecked;
    CSkinImage m_disabledChecked;
    QColor m_disabledText{153, 153, 153};
    bool m_useDisabledText = true;
    bool m_hover = false;
    bool m_down = false;
    Kind m_kind = kPushButton;
};

}  // namespace qx
