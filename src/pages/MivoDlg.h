#pragma once
// The main window: the top bar (three master volumes with mute buttons, the program strip,
// the connect and language buttons), the ten-tab control hosting the six pages, the link to
// the processor with its progress dialog, and the operations the pages call.

#include <QWidget>
#include <array>
#include <atomic>
#include <memory>

#include "FieldBinding.h"
#include "ProgramImage.h"
#include "ScrollState.h"

class QLabel;
class QScrollBar;

namespace qx {

class CEnTabCtrl;
class CPageDlg;
class CMusicDlg;
class CDEQ_Dlg;
class CMic_Dlg;
class CEffect_Dlg;
class CMainDlg;
class CSysDlg;
class CShow_Dlg;
class CDeviceLink;
class CMessageMap;
class COfflineWork;

// The tab shown (0..9); written by SelectTab only, read by the serial worker too.
extern std::atomic<int> currentTab;

class CMivoDlg : public QWidget {
    Q_OBJECT
  public:
    // Control ids of the top bar.
    static constexpr int kMusicMute = 4000;
    static constexpr int kMicMute = 4002;
    static constexpr int kEffectMute = 4001;
    static constexpr int kMusicSlider = 3820;
    static constexpr int kMicSlider = 3821;
    static constexpr int kEffectSlider = 3822;
    static constexpr int kMusicValue = 3810;
    static constexpr int kMicValue = 3811;
    static constexpr int kEffectValue = 3812;
    static constexpr int kProgramStrip = 3830;
    static constexpr int kConnectButton = 3831;
    static constexpr int kLanguageButton = 3832;
    static constexpr int kTabControl = 1028;
    static constexpr int kTabCount = 10;
    static constexpr int kSystemTab = 9;

    struct Options {
        // Where offline work is kept before a connection replaces it.
        QString musicFolder = QStringLiteral("MusicFile");
        // Small-screen layout: decided from the screen unless forced.
        int smallScreen = -1;  // -1 from the screen, 0 never, 1 always
        // Post WM_AUTO_CONNECT at the end of start-up.
        bool autoConnect = true;
    };

    explicit CMivoDlg(const Options& options, QWidget* parent = nullptr);
    CMivoDlg() : CMivoDlg(Options{}) {}
    ~CMivoDlg() override;

    // Operations the pages call.
    void SelectTab(int index);
    void RefreshCurrentPage();
    void RefreshTopBar(bool full);
    void ApplyLanguageAll();
    void SendDeviceCommand(uint8_t command, uint8_t argument);
    void StartQueueProgress();
    void ConnectDevice();
    void DisconnectDevice();
    // The editor's image now counts as loaded (a file import, a recall): offline work is
    // compared with it before a connection replaces the image.
    void NoteImageLoaded();

    // Parts, for the pages and for tests.
    CPageDlg* Page(int tab) const;
    CMusicDlg* MusicPage() const { return m_music; }
    CDEQ_Dlg* DeqPage() const { return m_deq; }
    CMic_Dlg* MicPage() const { return m_mic; }
    CEffect_Dlg* EffectPage() const { return m_effect; }
    CMainDlg* OutputPage() const { return m_output; }
    CSysDlg* SystemPage() const { return m_system; }
    CEnTabCtrl* Tabs() const { return m_tabs; }
    CFieldBinding& TopBar() { return m_topBar; }
    CShow_Dlg* Progress() const { return m_progress; }
    CDeviceLink& Link() const { return *m_link; }
    QWidget* Client() const { return m_client; }
    bool IsSmallScreen() const { return m_small; }
    const CScrollState& VerticalScroll() const { return m_vScroll; }
    const CScrollState& HorizontalScroll() const { return m_hScroll; }
    // The notice shown after offline work was kept ("" when none).
    QString Notice() const;

    // The window title in the language in force.
    static QString Title();
    // The program strip of an online editor: "16:name", "F1:name" from program 17 on.
    static QString ProgramStripText(const ParamImage& image);

    void ShowAbout();

  signals:
    // After a received program was shown (WM_PARAMETERS_RECEIVED handled).
    void ParametersShown();
    // Once, after the window's first paint is done.
    void FirstPainted();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void SetUpControls();
    void SetUpMessages();
    void SetUpModel();
    void SetUpVolume(int slider, int mute, const char* volumeField, const char* maxField);
    void UseSmallScreenLayout();
    void Scroll(Qt::Orientation orientation, int value);
    void PlaceScrollBars();
    void OnParametersReceived();
    void OnModesReceived();
    void KeepOfflineWork();

    Options m_options;
    QWidget* m_client = nullptr;  // the designed 723 x 373 unit area
    CFieldBinding m_topBar;
    CEnTabCtrl* m_tabs = nullptr;
    CMusicDlg* m_music = nullptr;
    CDEQ_Dlg* m_deq = nullptr;
    CMic_Dlg* m_mic = nullptr;
    CEffect_Dlg* m_effect = nullptr;
    CMainDlg* m_output = nullptr;
    CSysDlg* m_system = nullptr;
    CShow_Dlg* m_progress = nullptr;
    std::unique_ptr<CDeviceLink> m_link;
    CMessageMap* m_messages = nullptr;
    std::unique_ptr<COfflineWork> m_offline;
    QLabel* m_noticeLabel = nullptr;
    QScrollBar* m_vBar = nullptr;
    QScrollBar* m_hBar = nullptr;
    CScrollState m_vScroll;
    CScrollState m_hScroll;
    bool m_small = false;
    bool m_painted = false;            // the first paint is done
    bool m_connectAfterPaint = false;  // WM_AUTO_CONNECT came before the first paint
};

// The main window that receives the link's messages (null before one is made).
CMivoDlg* MainWindow();

}  // namespace qx
