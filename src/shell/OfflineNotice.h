#pragma once
// The notice at the foot of the main window that says where offline work was kept (or why it
// could not be): a line of text for twenty seconds, never a box that waits for the person.

#include <QLabel>

namespace qx {

class COfflineNotice : public QLabel {
    Q_OBJECT
  public:
    static constexpr int kShownMs = 20000;

    explicit COfflineNotice(QWidget* parent);

    // The text for a kept file (path) or a failure (error not empty); nothing when both are
    // empty.
    void ShowKept(const QString& path, const QString& error);
    // What the notice says while it is shown, "" otherwise.
    QString Shown() const { return isHidden() ? QString() : text(); }
};

}  // namespace qx
