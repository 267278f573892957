#pragma once
// "Which processor?": when the search found a processor on more than one port, the person
// picks the one to edit from the list of their addresses; Cancel stays offline.

#include <QDialog>
#include <QString>
#include <vector>

class QListWidget;

namespace qx {

class CProcessorChoice : public QDialog {
    Q_OBJECT
  public:
    CProcessorChoice(const std::vector<QString>& ports, QWidget* parent = nullptr);

    // The row picked (the first one at the start); -1 when none.
    int Chosen() const;
    void Choose(int row);
    QListWidget* List() const { return m_list; }

    // Asks modally; the index of the chosen port, -1 when cancelled.
    static int Ask(QWidget* parent, const std::vector<QString>& ports);

  private:
    QListWidget* m_list = nullptr;
};

}  // namespace qx
