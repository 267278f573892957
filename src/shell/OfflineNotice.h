#pragma once
// The notice at the foot of the main window that says where offline work was kept (or why it
// could not be): a line of text for twenty seconds, never a box that waits for the person.

#include <QLabel>

namespace qx {

class COfflineNotice : public QLabel {
    Q_OBJECT
  private:
    void Present(const QString& text);

  public:
    static constexpr int kShownMs = 20000;

    explicit COfflineNotice(QWidget* parent);

    // The text for a kept file (path) or a failure (error not empty); nothing when both are
    // empty.
    void ShowKept(const QString& path, const QString& error);
    // A snapshot kept before an operation (why), or why it could not be kept.
    void ShowSnapshot(const QString& path, const QString& error, const QString& why);
    // The settings before a recall wait in slot B of A/B: a line added to what is shown.
    void ShowAsideInB();
    // Work kept when the editor last closed.
    void ShowLastSession(const QString& path);
    // What the notice says while it is shown, "" otherwise.
    QString Shown() const { return isHidden() ? QString() : text(); }
};

}  // namespace qx
