#pragma once
// The main window: the top bar (three master volumes with mute buttons, the program strip,
// the connect and language buttons), the ten-tab control hosting the six pages, and the
// progress dialog of the editor session it owns, whose signals it shows.

#include <QWidget>
#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "FieldBinding.h"
#include "ProgramImage.h"
#include "ScrollState.h"

class QScrollBar;

namespace qx {

class CEnTabCtrl;
class CWindowFit;
class CPageDlg;
class CMusicDlg;
class CDEQ_Dlg;
class CMic_Dlg;
class CEffect_Dlg;
class CMainDlg;
class CSysDlg;
class CShow_Dlg;
class CDeviceLink;
class CEditorSession;
class COfflineNotice;
class CCompareBar;

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
        // Search for the processor at the end of start-up (after the first paint when the
        // window is shown by then).
        bool autoConnect = true;
    };

    explicit CMivoDlg(const Options& options, QWidget* parent = nullptr);
    CMivoDlg() : CMivoDlg(Options{}) {}
    ~CMivoDlg() override;

    void SelectTab(int index);
    // Shows the next (+1) or previous (-1) tab, wrapping round.
    void StepTab(int step);
    void RefreshCurrentPage();
    void RefreshTopBar(bool full);
    void ApplyLanguageAll();

    // Parts, for the pages and for tests.
    CPageDlg* Page(int tab) const;
    // A page is made the first time it is shown or asked for here.
    CMusicDlg* MusicPage() const;
    CDEQ_Dlg* DeqPage() const;
    CMic_Dlg* MicPage() const;
    CEffect_Dlg* EffectPage() const;
    CMainDlg* OutputPage() const;
    CSysDlg* SystemPage() const { return m_system; }
    CEnTabCtrl* Tabs() const { return m_tabs; }
    CFieldBinding& TopBar() { return m_topBar; }
    CShow_Dlg* Progress() const { return m_progress; }
    CEditorSession& Session() const { return *m_session; }
    CCompareBar* CompareBar() const { return m_compare; }
    CDeviceLink& Link() const;
    QWidget* Client() const { return m_client; }
    bool IsSmallScreen() const { return m_small; }
    // The scroll bars of a window of any size; nullptr in the small-screen layout.
    CWindowFit* Fit() const { return m_fit; }
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
    // After a received program was shown.
    void ParametersShown();
    // Once, after the window's first paint is done.
    void FirstPainted();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Unsaved work is kept in a file before the window goes (MivoDlgSafety.cpp).
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void SetUpControls();
    template <class T>
    T* Made(T*& page) const;
    // The pages made so far.
    std::vector<CPageDlg*> MadePages() const;
    void SetUpSession();
    // Snapshots, the background search and the last session's kept work (MivoDlgSafety.cpp).
    void SetUpSafety();
    void AutoConnect();
    void SetUpModel();
    void SetUpVolume(int slider, int mute, const char* volumeField, const char* maxField);
    void UseSmallScreenLayout();
    void Scroll(Qt::Orientation orientation, int value);
    void PlaceScrollBars();
    void OnParametersReceived();
    void OnSystemReceived();
    void OnImageReplaced();

    Options m_options;
    // Made before the pages, which are given it; the destructor ends it (the worker stops and
    // the port closes) before the widgets go.
    std::unique_ptr<CEditorSession> m_session;
    CCompareBar* m_compare = nullptr;
    QWidget* m_client = nullptr;  // the designed 723 x 373 unit area
    CFieldBinding m_topBar;
    CEnTabCtrl* m_tabs = nullptr;
    CWindowFit* m_fit = nullptr;
    // Made on first use (Made), hence mutable: asking for a page does not change the window.
    mutable CMusicDlg* m_music = nullptr;
    mutable CDEQ_Dlg* m_deq = nullptr;
    mutable CMic_Dlg* m_mic = nullptr;
    mutable CEffect_Dlg* m_effect = nullptr;
    mutable CMainDlg* m_output = nullptr;
    mutable CSysDlg* m_system = nullptr;
    CShow_Dlg* m_progress = nullptr;
    COfflineNotice* m_notice = nullptr;
    QScrollBar* m_vBar = nullptr;
    QScrollBar* m_hBar = nullptr;
    CScrollState m_vScroll;
    CScrollState m_hScroll;
    bool m_small = false;
    bool m_painted = false;            // the first paint is done
    bool m_connectAfterPaint = false;  // the automatic search came before the first paint
};

}  // namespace qx
