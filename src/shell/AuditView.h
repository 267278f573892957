#pragma once
// This run's part of the audit log: what the editor sent to the processor since it started,
// oldest first, one readable line each, following as records arrive. Where the whole log
// lies, and how many lines could not be written, is said below the list.

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace qx {

class CEditorAudit;
class CAuditLog;

class CAuditView : public QDialog {
    Q_OBJECT
  public:
    CAuditView(CEditorAudit& audit, CAuditLog& log, QWidget* parent = nullptr);

    // Shows the records as they are now.
    void Reload();
    QString Text() const;
    QString Status() const;

  private:
    CEditorAudit& m_audit;
    CAuditLog& m_log;
    QPlainTextEdit* m_list = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace qx
