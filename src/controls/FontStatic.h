#pragma once
// Static text with its own Arial font height and colour, on one line, vertically centred.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>

namespace qx {

class CFontStatic : public QWidget {
    Q_OBJECT
  public:
    // Shows the message when a font cannot be made; replaceable so that tests and headless
    // tools do not block on a message box.
    using FailureReporter = std::function<void(const QString& message)>;

    explicit CFontStatic(QWidget* parent = nullptr, int controlId = 0);

    void SetTextColor(const QColor& color);
    QColor TextColor() const { return m_textColor; }
    void SetBackground(const QColor& color, bool fill);
    void SetFontHeight(int pixels);
    void SetText(const QString& text);
    QString Text() const { return m_text; }
    // The font the text is drawn in before it is fitted to the width.
    QFont TextFont() const;
    void SetLeftAligned(bool left);
    void SetRightAligned(bool right);

    static void SetFailureReporter(FailureReporter reporter);
    // The message shown when the font cannot be made.
    static QString FailureText();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_textColor{0, 0, 0};
    QColor m_background{48, 64, 56};
    bool m_fill = false;
    int m_fontHeight = 14;
    bool m_left = true;
    bool m_right = false;
    QString m_text;
};

}  // namespace qx
