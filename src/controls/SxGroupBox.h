#pragma once
// A group box with etched frame lines in the field colour and a white Arial caption.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace qx {

class CSxGroupBox : public QWidget {
    Q_OBJECT
  public:
    enum Alignment { kLeft, kRight, kCentre };

    explicit CSxGroupBox(QWidget* parent = nullptr, int controlId = 0);

    void SetCaption(const QString& caption);
    QString Caption() const { return m_caption; }
    void SetAlignment(Alignment alignment);
    // The extended-style bits 0x40 and 0x80 of a template hide the caption.
    void SetCaptionHidden(bool hidden);

    // Where the caption line runs and where the caption starts, for the current font.
    int CaptionLineY() const;
    int CaptionLeft() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_enabledLines[2] = {QColor(36, 45, 46), QColor(36, 45, 46)};
    QColor m_disabledLines[2];
    int m_lineWidth = 1;
    QColor m_textColor{255, 255, 255};
    QFont m_font;
    QString m_caption;
    Alignment m_alignment = kLeft;
    int m_indent = 8;
    int m_verticalOffset = 0;
    bool m_hideCaption = false;
};

}  // namespace qx
