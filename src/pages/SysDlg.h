#pragma once
// The System page: the maximum volumes, inputs, sensitivity, phantom power and remote of the
// system block; the store permission and its verification; the system and panel password
// changes; the device modes with their file operations; and the twelve level monitors fed by
// the idle polls while the page is shown.

#include <QString>
#include <array>
#include <atomic>
#include <memory>

#include "FileOperations.h"
#include "PageDlg.h"
#include "SysDlgRules.h"

namespace qx {

class CBitComboBox;
class CEditorSession;
class CEnglishEdit;
class CFontStatic;
class CSLamp;

// The control ids (SysPageIds) are the page's own: CSysDlg::kStore.
class CSysDlg : public CPageDlg, public SysPageIds {
    Q_OBJECT
  public:
    explicit CSysDlg(QWidget* parent = nullptr);
    ~CSysDlg() override;

    // The session the page sends its commands through and whose monitor blocks and bank
    // reads it shows; without one (a page alone) nothing is sent.
    void SetSession(CEditorSession* session);
    CEditorSession* Session() const { return m_session; }

    void RefreshFromParameters() override;
    void ApplyLanguage() override;

    // A monitor block arrived (reply command 0x0C or 0x18): show it.
    virtual void ShowMonitor(int replyCommand);
    // Asks for the next monitor block; the serial worker takes the request.
    void RequestMonitor() { m_monitorRequest.store(true); }
    // Called on the serial worker: true once per request while the page is shown.
    bool TakeMonitorRequest() { return m_monitorRequest.exchange(false); }

    CFileOperations& Files() { return *m_files; }
    CEnglishEdit* Edit(int id) const;
    CSLamp* Monitor(int index) const { return m_lamps[static_cast<std::size_t>(index)]; }
    // What a person's choice of entry `index` in the mode list does.
    void SelectMode(int index);

    // What the password group last said (wrong old password, confirmation differs, changed),
    // in the language in force; "" when nothing. group 0: system, 1: panel.
    QString PasswordStatus(int group) const;

  protected:
    void paintEvent(QPaintEvent* event) override;


  private:
    void SetUpEdits();
    // Says what happened in a password group (text null: nothing); bad in red.
    void ShowPasswordStatus(int group, const TextPair* text, bool bad);
    void SetUpLamps();
    void RefreshModeList();
    void ShowPermission();
    // The state the enabling rules read, and their result applied to the controls.
    SysPageState State() const;
    void ApplyRules();
    // The two password groups (SysDlgPasswords.cpp); each is reset after the other one changed.
    void ResetSystemGroup();
    void ResetPanelGroup();
    void OnVerifyEdited();
    void OnVerify();
    void OnPasswordEdited(int id);
    void OnModifySystem();
    void OnModifyPanel();
    int SelectedProgram() const;
    void SendCommand(uint8_t command);

    CEditorSession* m_session = nullptr;
    std::unique_ptr<CFileOperations> m_files;
    std::array<CSLamp*, kMonitorCount> m_lamps{};
    QString m_panelReference;  // the panel password at the last refresh or system change
    int m_program = 0;         // the program Store acts on: the current one, or the one picked
    bool m_verifyMatches = false;
    bool m_systemOldMatches = false;
    bool m_panelOldMatches = false;
    std::atomic<bool> m_monitorRequest{true};
    std::array<CFontStatic*, 2> m_passwordStatus{};
    std::array<const TextPair*, 2> m_passwordText{};
};

}  // namespace qx
