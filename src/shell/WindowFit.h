#pragma once
// Lets the main window take any size. The designed client area keeps its top-left corner;
// a window larger than it shows the skin's background around it, a smaller one gets scroll
// bars that reach every control. The first time the window is shown it is made to fit the
// screen's free area.

#include <QObject>
#include <QSize>

class QScrollBar;
class QWidget;

namespace qx {

class CWindowFit : public QObject {
    Q_OBJECT
  public:
    // `client` is a child of `window` of the designed size.
    CWindowFit(QWidget* window, QWidget* client);

    QScrollBar* Horizontal() const { return m_hBar; }
    QScrollBar* Vertical() const { return m_vBar; }
    // Places the bars and the client for the window's size now.
    void Layout();
    // The size a window of the designed size takes inside a free screen area of `available`
    // (the window frame included by `frame`).
    static QSize FittedSize(QSize designed, QSize available, QSize frame);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FitScreen();

    QWidget* m_window;
    QWidget* m_client;
    QScrollBar* m_hBar;
    QScrollBar* m_vBar;
    bool m_fitted = false;
};

}  // namespace qx
