#pragma once
// The progress and wait dialog of the link, and everything else the link shows a person: the
// lookup form while ports are probed, the progress form while the processor is read, the
// transfer form while it stores, and the message boxes. While any form is visible the main
// window's controls are disabled; the close box does nothing.
//
// The progress form of a bank read or write offers Cancel (Escape does the same): the link
// drops the rest of the transfer between two frames; a stopped write then shows the wait form
// until the processor's contents are read back, and the person is told what each program holds.
//
// Message boxes are never shown while ParamLock is held: "Unable to Open Device!" and the
// serial errors are shown from the event loop after the handler that reported them returned;
// the "11" box is shown by the link from the event loop while the worker waits unlocked.

#include <QBasicTimer>
#include <QDialog>
#include <QString>
#include <functional>

#include "LinkUi.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QShortcut;

namespace qx {

class CMivoDlg;

class CShow_Dlg : public QDialog, public CLinkUi {
    Q_OBJECT
  public:
    enum Form { kHidden, kLookup, kProgress, kTransfer };
    static constexpr int kLookupTimer = 9;
    static constexpr int kLookupPeriodMs = 10;
    static constexpr int kLookupLingerMs = 1000;
    static constexpr int kTransferTimer = 8;
    static constexpr int kTransferPeriodMs = 200;
    static constexpr int kTransferLingerMs = 500;

    // Records a message box instead of showing it (caption, text); tests and scripted runs.
    using BoxReporter = std::function<void(const QString& caption, const QString& text)>;

    explicit CShow_Dlg(CMivoDlg* mainWindow);

    void SetBoxReporter(BoxReporter reporter) { m_reporter = std::move(reporter); }

    // CLinkUi
    void ShowLookup() override;
    void ShowPortProbed(const QString& port) override;
    void StartProgress(int total) override;
    void SetProgress(int step) override;
    void OfferCancel(bool offered) override;
    void ShowTransfer() override;
    void HideTransfer() override;
    void ShowUnableToOpen() override;
    void ShowConnectionLost() override;
    void ShowPortError(const QString& text) override;
    void ShowWrongProgram() override;
    void ConnectionChanged() override;
    void CurrentProgramChanged() override;
    void SaveBankToFile() override;
    bool TakeMonitorRequest() override;

    Form CurrentForm() const { return m_form; }
    int Total() const { return m_total; }
    int Step() const;
    QString Line() const;
    // Every progress step shown since the last StartProgress.
    const std::vector<int>& Steps() const { return m_steps; }
    // Whether the form shows Cancel now, and the Cancel itself (the button and Escape).
    bool CancelShown() const;
    void Cancel();

  protected:
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape: Cancel where the form offers it, nothing otherwise.
    void reject() override;

  private:
    void Present(Form form);
    void HideAll();
    void Centre();
    void Box(const QString& caption, const QString& text);
    // The progress form's line: what is being moved, n of total and the percentage.
    void ShowStep(int step);
    // The form's size and the Cancel button for the form being presented.
    void LayOut(bool withCancel);
    // The wait form ("Data transmission") until the processor is no longer busy.
    void ShowWaitForm();

    CMivoDlg* m_main;
    QLabel* m_text;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    QShortcut* m_escape;
    QBasicTimer m_lookupTimer;
    QBasicTimer m_transferTimer;
    Form m_form = kHidden;
    int m_total = 0;
    bool m_lingering = false;
    bool m_cancelOffered = false;  // for the progress form now shown (OfferCancel)
    bool m_waitAfter = false;      // the processor is busy once the progress ends: wait form next
    QString m_stopText;            // told when the form of a stopped transfer closes
    std::vector<int> m_steps;
    BoxReporter m_reporter;
};

}  // namespace qx
