#pragma once
// The keys that turn the pages of a tabbed window from wherever the focus is inside it:
// Ctrl+Tab and Ctrl+Page Down to the next tab, Ctrl+Shift+Tab and Ctrl+Page Up to the one
// before, wrapping round at the ends.

#include <QObject>
#include <functional>

class QWidget;

namespace qx {

class CTabKeys : public QObject {
    Q_OBJECT
  public:
    // `step` is called with +1 or -1; the window's key presses are watched application-wide
    // because an edit or a combo with the focus would otherwise keep Ctrl+Tab for itself.
    CTabKeys(QWidget* window, std::function<void(int)> step);
    ~CTabKeys() override;

    // +1, -1, or 0 for a key press that turns no tab.
    static int StepOf(int key, Qt::KeyboardModifiers modifiers);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* m_window;
    std::function<void(int)> m_step;
};

}  // namespace qx
