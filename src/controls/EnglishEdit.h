#pragma once
// A coloured edit box for passwords and names that takes single-byte characters only and
// reports every typed character with Changed().

#include <QColor>
#include <QLineEdit>

namespace qx {

class CEnglishEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CEnglishEdit(QWidget* parent = nullptr, int controlId = 0);

    void SetColors(const QColor& text, const QColor& background);

  signals:
    // Once for every typed character, after the edit has handled it (the change command of
    // the original edit); not for text set by the program.
    void Changed(int controlId);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    QColor m_backgroundColor{36, 45, 46};
    QColor m_textColor{250, 250, 250};
};

}  // namespace qx
