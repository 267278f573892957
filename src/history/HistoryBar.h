#pragma once
// The history's controls in the main window: Undo and Redo buttons whose tooltips say what
// they will undo or redo, a button that shows the list of steps, and the keys Ctrl+Z,
// Ctrl+Shift+Z and Ctrl+Y anywhere in the window. The main window makes it with one call
// (InstallHistory) and places nothing else.

#include <QWidget>

namespace qx {

class CBitButton;
class CEditHistory;
class CGestureSteps;
class CHistoryWindow;

class CHistoryBar : public QWidget {
    Q_OBJECT
  public:
    // The bar is a child of `bar` (the window's client area); the keys reach it from
    // everywhere in `window` and in the list of steps.
    CHistoryBar(CEditHistory& history, QWidget* window, QWidget* bar);

    CEditHistory& History() const { return m_history; }
    CHistoryWindow* Window() const { return m_window; }
    CBitButton* UndoButton() const { return m_undo; }
    CBitButton* RedoButton() const { return m_redo; }

    void ApplyLanguage();
    void ShowList();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Update();
    void ShowRefusal(const QString& why);

    CEditHistory& m_history;
    QWidget* m_target;
    CBitButton* m_undo;
    CBitButton* m_redo;
    CBitButton* m_list;
    CHistoryWindow* m_window = nullptr;
};

// Makes the editor's history over CImageModel::Editor(), its gestures and its bar for the main
// window; the bar sits at `rect` (pixels) in `topBar`. Returns the bar (a child of topBar).
CHistoryBar* InstallHistory(QWidget* window, QWidget* topBar, const QRect& rect);

}  // namespace qx
