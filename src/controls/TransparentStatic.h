#pragma once
// A caption drawn without a background, in white, placed by its static style.

#include <QColor>
#include <QString>
#include <QWidget>

namespace qx {

class CTransparentStatic : public QWidget {
    Q_OBJECT
  public:
    explicit CTransparentStatic(QWidget* parent = nullptr, int controlId = 0, unsigned style = 0);

    // Also repaints the parent under the control, so no trace of the old text remains.
    void SetText(const QString& text);
    QString Text() const { return m_text; }
    void SetStyle(unsigned style);
    QColor TextColor() const { return m_textColor; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_textColor{255, 255, 255};
    QString m_text;
    unsigned m_style;
};

}  // namespace qx
