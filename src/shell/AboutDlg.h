#pragma once
// The About box: the application icon, the version text and an OK button.

#include <QDialog>

namespace qx {

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString VersionText();
};

}  // namespace qx
