#pragma once
// The list of the history's steps in a window of its own beside the editor: clicking a step
// goes back or forward to it; a line under the list says why undo stops where it does.

#include <QWidget>

class QLabel;
class QUndoView;

namespace qx {

class CEditHistory;

class CHistoryWindow : public QWidget {
    Q_OBJECT
  public:
    CHistoryWindow(CEditHistory& history, QWidget* parent);

    void ApplyLanguage();
    void ShowMessage(const QString& text);
    QUndoView* View() const { return m_view; }

  private:
    CEditHistory& m_history;
    QUndoView* m_view;
    QLabel* m_message;
};

}  // namespace qx
