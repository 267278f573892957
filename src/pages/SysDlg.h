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

namespace qx {

class CBitComboBox;
class CEditorSession;
class CEnglishEdit;
class CFontStatic;
class CSLamp;

class CSysDlg : public CPageDlg {
    Q_OBJECT
  public:
    // Control ids the handlers and tests name.
    static constexpr int kVerifyEdit = 1023;
    static constexpr int kVerifyOk = 1362;
    static constexpr int kPermissionText = 1412;
    static constexpr int kSystemOld = 2612;
    static constexpr int kSystemNew = 2613;
    static constexpr int kSystemConfirm = 1024;
    static constexpr int kSystemModify = 1065;
    static constexpr int kPanelOld = 2610;
    static constexpr int kPanelNew = 2611;
    static constexpr int kPanelConfirm = 1369;
    static constexpr int kPanelModify = 1064;
    static constexpr int kModeList = 2604;
    static constexpr int kNameEdit = 2614;
    static constexpr int kRecall = 1066;
    static constexpr int kStore = 1067;
    static constexpr int kExport = 1069;
    static constexpr int kImport = 1384;
    static constexpr int kExportAll = 1388;
    static constexpr int kImportAll = 1389;
    static constexpr int kFirstMonitor = 3900;
    static constexpr int kMonitorCount = 12;
    static constexpr int kSystemPasswordLength = 6;
    static constexpr int kPanelPasswordLength = 4;

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

  signals:
    // A maximum volume was changed here: the master volume above it must not exceed it.
    void MusicMaximumChanged();
    void MicMaximumChanged();
    void EffectMaximumChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void SetUpSkins();
    void SetUpEdits();
    void SetUpLamps();
    void RefreshModeList();
    void ShowPermission();
    void EnableNameAndStore(bool enable);
    void Enable(int id, bool enable);
    // The two password groups; each is reset after the other one changed.
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
    std::atomic<bool> m_monitorRequest{true};
};

}  // namespace qx
