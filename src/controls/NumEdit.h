#pragma once
// An edit box that holds one code (frequency, Q or gain), shows it as hertz, Q or dB, takes a
// typed value and emits ValueCommitted (the control id) at once when a value is committed, so
// the owner reads it before anything else happens. A companion slider shows its active thumb while
// the edit has the focus.

#include <QColor>
#include <QLineEdit>
#include <QString>
#include <optional>

namespace qx {

class CBitmapSlider;
class CNumEditValidator;

class CNumEdit : public QLineEdit {
    Q_OBJECT
  public:
    static constexpr int kModeNone = 0;
    static constexpr int kModeFrequency = 4;
    static constexpr int kModeQ = 11;
    static constexpr int kModeGain = 23;

    explicit CNumEdit(QWidget* parent = nullptr, int controlId = 0);

    void SetKind(int mode, const QString& unit = QString());
    void SetRange(int minimum, int maximum);
    void SetScale(double step) { m_step = step; }
    void SetOffset(double offset) { m_offset = offset; }
    // Ignored unless minimum <= code <= maximum.
    void SetValue(int code);
    // Parses typed text first (without notifying) when it was changed since the last read.
    int GetValue();
    void SetCompanion(CBitmapSlider* slider) { m_companion = slider; }
    void SetColors(const QColor& text, const QColor& background);

    int Mode() const { return m_mode; }
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    bool IsModifiedByTyping() const { return m_modified != 0; }

    // Formats the value by the mode and shows it.
    virtual void Redisplay();

    // The number at the start of a text, as the C library reads it; 0 when there is none.
    static double ReadNumber(const QString& text);

  signals:
    void ValueCommitted(int controlId);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Commit();
    // The code typed text stands for, clamped to the range; empty when it is not a value.
    std::optional<int> TypedCode(const QString& typed) const;
    void Notify();
    void InvalidateParent();
    // Narrows the font, if it must, so the longest text of the range is not cut.
    void KeepWidestTextVisible();
    double Lower() const { return m_minimum * m_step - m_offset; }
    double Upper() const { return m_maximum * m_step - m_offset; }
    int GainCode(double shown) const;
    int ClampToRange(int code) const;
    void ApplyColors();

    CBitmapSlider* m_companion = nullptr;
    CNumEditValidator* m_validator = nullptr;
    int m_value = 0;
    int m_mode = kModeNone;
    int m_maximum = 0;
    int m_minimum = 0;
    int m_modified = 0;
    double m_step = 0.0;
    double m_offset = 0.0;
    QString m_unit;
    QColor m_textColor{255, 255, 255};
    QColor m_backgroundColor{36, 45, 46};
    qint16 m_wheel = 0;
};

}  // namespace qx
