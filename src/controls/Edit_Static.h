#pragma once
// The value label beside a slider: shows a code by one of the label rules (text tables,
// linear numbers, "OFF", distances) in transparent text.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <optional>

#include "LabelRules.h"

namespace qx {

class CEdit_Static : public QWidget {
    Q_OBJECT
  public:
    explicit CEdit_Static(QWidget* parent = nullptr, int controlId = 0, unsigned style = 0);

    void SetRange(int minimum, int maximum);
    void SetRule(LabelRule rule) { m_rule = rule; }
    void SetIntegerScale(int factor, int offset, const QString& unit = QString());
    void SetDecimalScale(double step, double offset, const QString& unit = QString());
    // The rule with its scale: a decimal one for L14, an integer one for the others.
    void SetRule(LabelRule rule, double factor, double offset, const QString& unit);
    void SetValue(int code);
    int GetValue() const { return m_value; }

    void SetTextColors(const QColor& enabled, const QColor& disabled);
    void SetLabelFont(const QFont& font) {
        m_font = font;
        update();
    }
    QFont LabelFont() const { return m_font.value_or(font()); }
    void SetStyle(unsigned style) {
        m_style = style;
        update();
    }
    unsigned Style() const { return m_style; }

    void SetText(const QString& text);
    QString Text() const { return m_text; }

    // The text a code gets under the label's settings.
    QString Format(int code) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void InvalidateParent();

    int m_minimum = 0;
    int m_maximum = 0;
    int m_value = 0;
    LabelRule m_rule = LabelRule::L20;
    QString m_unit;
    int m_factor = 1;
    int m_intOffset = 0;
    double m_step = 0.0;
    double m_decimalOffset = 0.0;
    QColor m_enabledColor{255, 255, 255};
    QColor m_disabledColor{255, 255, 255};
    std::optional<QFont> m_font;
    QString m_text;
    unsigned m_style;
};

}  // namespace qx
