#include "MivoDlg.h"

#include "TabKeys.h"
#include "WindowFit.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTimer>

#include "AboutDlg.h"
#include "AuditHookup.h"
#include "BitButton.h"
#include "ByteField.h"
#include "CompareBar.h"
#include "DEQ_Dlg.h"
#include "DeviceLink.h"
#include "DialogUnits.h"
#include "EditorSession.h"
#include "Effect_Dlg.h"
#include "EnTabCtrl.h"
#include "FontStatic.h"
#include "HistoryBar.h"
#include "ImageModel.h"
#include "LinkState.h"
#include "MainDlg.h"
#include "Mic_Dlg.h"
#include "MusicDlg.h"
#include "OfflineNotice.h"
#include "ParameterSet.h"
#include "QtTranslations.h"
#include "Show_Dlg.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "StaticStyle.h"
#include "SysDlg.h"
#include "TextPair.h"
#include "ThreadHandOff.h"
#include "VolumeClamps.h"

namespace qx {

std::atomic<int> currentTab{kTabCount - 1};

namespace {

using enum ControlKind;

// The top bar. Each master volume is a caption, a slider and a value label on the volume
// bits of its byte, and a mute button on the byte's top bit.
// clang-format off
constexpr ControlRow kTopBar[] = {
    {3800, Caption, {4, 4, 36, 11}, kTextMusicVol},
    {3820, Slider, {41, 4, 114, 11}, {}, "System.musicVolume", {}, 0, -1, skins::kVolumeSlider},
    {3810, Label, {156, 4, 14, 11}, {}, "System.musicVolume"},
    {4000, Toggle, {171, 4, 13, 11}, {}, "System.musicMute", {}, 0, -1, skins::kMuteButton},

    {3801, Caption, {186, 4, 36, 11}, kTextMicVol},
    {3821, Slider, {223, 4, 114, 11}, {}, "System.micVolume", {}, 0, -1, skins::kVolumeSlider},
    {3811, Label, {338, 4, 14, 11}, {}, "System.micVolume"},
    {4002, Toggle, {353, 4, 13, 11}, {}, "System.micMute", {}, 0, -1, skins::kMuteButton},

    {3802, Caption, {368, 4, 36, 11}, kTextEffectVol},
    {3822, Slider, {405, 4, 114, 11}, {}, "System.effectVolume", {}, 0, -1, skins::kVolumeSlider},
    {3812, Label, {520, 4, 14, 11}, {}, "System.effectVolume"},
    {4001, Toggle, {535, 4, 13, 11}, {}, "System.effectMute", {}, 0, -1, skins::kMuteButton},

    {3830, Caption, {552, 3, 80, 13}, {}, nullptr, {}, 0, -1, {}, ss::kCenter},
    {3831, Button, {635, 3, 42, 13}, {}, nullptr, {}, 0, -1, skins::kTopBarButton},
    // The language button names the language it switches to.
    {3832, Button, {679, 3, 42, 13}, kTextLanguageButton, nullptr, {}, 0, -1, skins::kTopBarButton},
};
// clang-format on

constexpr DuRect kTabRect{0, 18, 723, 355};
constexpr int kTabHeader = 21;  // pixels above a page inside the tab control

// The top bar while the editor searches for a lost processor by itself.
constexpr TextPair kTextReconnecting{"正在重新连接...", "Reconnecting..."};
constexpr TextPair kTextStopSearch{"停止", "Stop"};

const TextPair kAboutItem{"关于(&A)...", "关于(&A)..."};

// The background: the skin's bitmap 167 at its own size (the top bar band), on the plain
// window colour.
class CBackground : public QWidget {
  public:
    explicit CBackground(QWidget* parent) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QImage image = CSkinBitmaps::Get(skinid::kMainBackground, devicePixelRatioF());
        p.fillRect(rect(), skin::kTopBarColor);
        if (!image.isNull()) {
            p.drawImage(0, 0, image);
        }
    }
};

QString Utf8(const TextPair& pair) {
    return QString::fromUtf8(pair.Get());
}

}  // namespace

QString CMivoDlg::Title() {
    return Utf8(kTextWindowTitle);
}

QString CMivoDlg::ProgramStripText(const ParamImage& image) {
    const ParamField* nameField = CParamCatalogue::Find("name");
    const ParamField* programField = CParamCatalogue::Find("System.currentProgram");
    if (nameField == nullptr || programField == nullptr) {
        return {};
    }
    const uint8_t* bytes = CParamCatalogue::Bytes(image);
    const int program = static_cast<int>(CParamCatalogue::Read(bytes, *programField));
    QString prefix = program <= 16 ? QStringLiteral("%1:").arg(program)
                                   : QStringLiteral("F%1:").arg(program - 16);
    QByteArray name;
    for (int i = 0; i < nameField->width; ++i) {
        const uint8_t b = LoadByte(bytes[nameField->offset + i]);
        if (b == 0) {
            break;
        }
        name.append(static_cast<char>(b));
    }
    // Names typed on the processor's panel may be GB-encoded Chinese.
    QStringDecoder gb("GB18030");
    QString text = gb.isValid() ? gb.decode(name) : QString::fromLatin1(name);
    return prefix + text.trimmed();
}

CMivoDlg::CMivoDlg(const Options& options, QWidget* parent)
    : QWidget(parent),
      m_options(options),
      m_session(std::make_unique<CEditorSession>(options.musicFolder)),
      m_client(new CBackground(this)),
      m_topBar(m_client) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QSize designed = CDialogUnits::ToPixels(QSize(723, 373));
    m_client->setGeometry(QRect(QPoint(0, 0), designed));
    resize(designed);

    // The About item (the system menu's in the design) is on the window's context menu.
    auto* about = new QAction(Utf8(kAboutItem), this);
    connect(about, &QAction::triggered, this, &CMivoDlg::ShowAbout);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    QIcon icon(QStringLiteral(":/icons/qx-editor.png"));
    if (!icon.isNull()) {
        setWindowIcon(icon);
    }

    SetUpControls();
    m_progress = new CShow_Dlg(this);
    ApplyLanguageAll();

    m_session->SetUi(m_progress);
    m_client->installEventFilter(this);
    SetUpSession();
    HookUpAudit(*this);
    SetUpModel();
    // Undo, redo and the list of steps, at the right end of the tab row.
    InstallHistory(this, m_client, CDialogUnits::ToPixels(606, 19, 115, 11));
    m_compare = new CCompareBar(m_client, *m_session);
    SetUpSafety();
    m_session->NoteImageLoaded();
    qApp->installEventFilter(this);

    if (m_options.autoConnect) {
        QMetaObject::invokeMethod(this, &CMivoDlg::AutoConnect, Qt::QueuedConnection);
    }
    // Any size: scroll bars when smaller than the design, fitted to the screen when shown.
    // The fixed small-screen layout remains for those who ask for it.
    if (m_options.smallScreen == 1) {
        UseSmallScreenLayout();
    } else {
        m_fit = new CWindowFit(this, m_client);
    }
    new CTabKeys(this, [this](int step) { StepTab(step); });
}

void CMivoDlg::StepTab(int step) {
    for (int i = 1; i < kTabCount; ++i) {
        const int next = ((currentTab + step * i) % kTabCount + kTabCount) % kTabCount;
        if (Page(next) != nullptr) {
            SelectTab(next);
            return;
        }
    }
}

CMivoDlg::~CMivoDlg() {
    qApp->removeEventFilter(this);
    m_session.reset();  // stops the worker and closes the port
}

void CMivoDlg::SetUpControls() {
    m_topBar.Add(kTopBar);
    if (auto* strip = m_topBar.Get<CFontStatic>(kProgramStrip)) {
        strip->SetTextColor(Qt::white);
        strip->SetBackground(skin::kFieldColor, true);
    }
    SetUpVolume(kMusicSlider, kMusicMute, "System.musicVolume", "System.musicMax");
    SetUpVolume(kMicSlider, kMicMute, "System.micVolume", "System.micMax");
    SetUpVolume(kEffectSlider, kEffectMute, "System.effectVolume", "System.effectMax");
    m_topBar.On(kConnectButton).changed = [this](int) { m_session->ConnectDevice(); };
    m_topBar.On(kLanguageButton).changed = [this](int) {
        useChinese = !useChinese;
        ApplyLanguageAll();
    };

    CEnTabCtrl::SetLook(true, 31);
    m_tabs = new CEnTabCtrl(m_client, 2, kTabControl);
    m_tabs->SetBackgroundColor(QColor(255, 255, 255));
    m_tabs->setGeometry(
        CDialogUnits::ToPixels(kTabRect.x, kTabRect.y, kTabRect.width, kTabRect.height));
    for (int i = 0; i < kTabCount; ++i) {
        m_tabs->InsertItem(i, QString::fromUtf8(kTabNames[static_cast<std::size_t>(i)].chinese));
    }
    connect(m_tabs, &CBaseTabCtrl::SelChange, this, [this](int index) { SelectTab(index); });

    // The System page is shown first; the other pages are made when first shown or asked for,
    // so a page nobody opens costs neither start-up time nor memory.
    m_system = Made(m_system);
    m_system->SetSession(m_session.get());

    m_notice = new COfflineNotice(m_client);

    // The editor starts on the System page.
    currentTab = -1;
    SelectTab(kSystemTab);
}

void CMivoDlg::SetUpVolume(int slider, int mute, const char* volumeField, const char* maxField) {
    const std::string volume = volumeField;
    const std::string maximum = maxField;
    CFieldBinding::Hooks& h = m_topBar.On(slider);
    // Never above the maximum the System page set; the slider follows the stored value.
    h.adjust = [this, maximum](int value) { return std::min(value, m_topBar.Read(maximum)); };
    // The whole byte is stored, so moving a muted volume unmutes it in the same store.
    h.store = [this, volume](int value) {
        m_topBar.WriteByte(volume, static_cast<uint8_t>(value));
    };
    h.changed = [this, mute](int) { m_topBar.Refresh(mute); };
}

void CMivoDlg::SetUpSession() {
    // The session's signals come on this thread; direct connections keep the order in which
    // it emits them (offline work is kept, and noticed, before the reads are queued; a program
    // counts as loaded before it is shown).
    CEditorSession* session = m_session.get();
    connect(session, &CEditorSession::offlineWorkKept, m_notice, &COfflineNotice::ShowKept,
            Qt::DirectConnection);
    connect(session, &CEditorSession::systemReceived, this, &CMivoDlg::OnSystemReceived,
            Qt::DirectConnection);
    connect(session, &CEditorSession::programReceived, this, &CMivoDlg::OnParametersReceived,
            Qt::DirectConnection);
    connect(session, &CEditorSession::imageReplaced, this, &CMivoDlg::OnImageReplaced,
            Qt::DirectConnection);
}

void CMivoDlg::AutoConnect() {
    // A shown window paints first, so the editor is seen at once; the search then starts
    // from the event loop right after that paint.
    if (isVisible() && !m_painted) {
        m_connectAfterPaint = true;
        return;
    }
    m_session->ConnectDevice();
}

void CMivoDlg::OnSystemReceived() {
    CImageModel::Editor().NoteSystemReceived();
    if (currentTab == kSystemTab) {
        m_system->RefreshFromParameters();
    }
}

void CMivoDlg::SetUpModel() {
    CImageModel& model = CImageModel::Editor();
    // The master volumes stay below the maxima the System page sets.
    new CVolumeClamps(model, this);
    // The program strip shows the current program's number and name.
    const ParamField* name = CParamCatalogue::Find("name");
    const ParamField* program = CParamCatalogue::Find("System.currentProgram");
    connect(&model, &CImageModel::Changed, this, [this, name, program](const ImageNotice& n) {
        for (const ParamField* f : {name, program}) {
            if (f != nullptr && n.Touches(static_cast<std::size_t>(f->offset),
                                          static_cast<std::size_t>(f->width))) {
                RefreshTopBar(true);
                return;
            }
        }
    });
}

void CMivoDlg::OnParametersReceived() {
    // The model announces the adopted image: the curve sets follow it, then every control
    // and the top bar show it.
    CImageModel::Editor().NoteProgramReceived();
    RefreshCurrentPage();
    RefreshTopBar(true);  // online now: the connect button and the program strip
    emit ParametersShown();
}

void CMivoDlg::OnImageReplaced() {
    // The model has announced the replaced image (the curve sets follow it).
    RefreshCurrentPage();
    RefreshTopBar(true);
}

CDeviceLink& CMivoDlg::Link() const {
    return m_session->Link();
}

template <class T>
T* CMivoDlg::Made(T*& page) const {
    if (page == nullptr) {
        page = new T(m_tabs);
        page->setGeometry(m_tabs->rect().adjusted(1, kTabHeader, -1, -1));
        page->hide();
        page->ApplyLanguage();  // a later switch reaches it through MadePages()
    }
    return page;
}

CMusicDlg* CMivoDlg::MusicPage() const {
    return Made(m_music);
}
CDEQ_Dlg* CMivoDlg::DeqPage() const {
    return Made(m_deq);
}
CMic_Dlg* CMivoDlg::MicPage() const {
    return Made(m_mic);
}
CEffect_Dlg* CMivoDlg::EffectPage() const {
    return Made(m_effect);
}
CMainDlg* CMivoDlg::OutputPage() const {
    return Made(m_output);
}

std::vector<CPageDlg*> CMivoDlg::MadePages() const {
    std::vector<CPageDlg*> pages;
    for (CPageDlg* page : {static_cast<CPageDlg*>(m_music), static_cast<CPageDlg*>(m_deq),
                           static_cast<CPageDlg*>(m_mic), static_cast<CPageDlg*>(m_effect),
                           static_cast<CPageDlg*>(m_output), static_cast<CPageDlg*>(m_system)}) {
        if (page != nullptr) {
            pages.push_back(page);
        }
    }
    return pages;
}

CPageDlg* CMivoDlg::Page(int tab) const {
    switch (tab) {
        case 0:
            return MusicPage();
        case 1:
            return DeqPage();
        case 2:
            return MicPage();
        case 3:
            return EffectPage();
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
            return OutputPage();
        case 9:
            return m_system;
        default:
            return nullptr;
    }
}

void CMivoDlg::SelectTab(int index) {
    if (index == currentTab || Page(index) == nullptr) {
        return;
    }
    currentTab = index;
    if (m_tabs->GetCurSel() != index) {
        m_tabs->SetCurSel(index);
    }
    CPageDlg* shown = Page(index);
    for (CPageDlg* page : MadePages()) {
        if (page != shown) {
            page->hide();
        }
    }
    if (index >= 4 && index <= 8) {
        OutputPage()->ShowChannelGroup(index - 4);
    }
    RefreshCurrentPage();
}

void CMivoDlg::RefreshCurrentPage() {
    if (CPageDlg* page = Page(currentTab)) {
        page->show();
        page->RefreshFromParameters();
    }
    m_topBar.RefreshFromParameters();
    update();
}

void CMivoDlg::RefreshTopBar(bool full) {
    auto* connect = m_topBar.Get<CBitButton>(kConnectButton);
    auto* strip = m_topBar.Get<CFontStatic>(kProgramStrip);
    const bool searching = m_session->Reconnecting();
    connect->SetCheck(online || searching ? 1 : 0);
    connect->setText(Utf8(searching ? kTextStopSearch : online ? kTextDisconnect : kTextConnect));
    if (!online || searching) {
        strip->SetText(Utf8(searching ? kTextReconnecting : kTextOffLine));
    } else if (full) {
        strip->SetText(ProgramStripText(ParameterSet));
    }
}

void CMivoDlg::ApplyLanguageAll() {
    CQtTranslations::Follow(useChinese);
    for (int i = 0; i < kTabCount; ++i) {
        m_tabs->SetItemText(i, Utf8(kTabNames[static_cast<std::size_t>(i)]));
    }
    m_topBar.ApplyLanguage();
    if (auto* history = findChild<CHistoryBar*>()) {
        history->ApplyLanguage();
    }
    if (m_compare != nullptr) {
        m_compare->ApplyLanguage();
    }
    ApplyAuditLanguage(*this);
    setWindowTitle(Title());
    RefreshTopBar(false);
    for (CPageDlg* page : MadePages()) {
        page->ApplyLanguage();
    }
    update();
}

QString CMivoDlg::Notice() const {
    return m_notice->Shown();
}

void CMivoDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

bool CMivoDlg::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the application, the filter sees the serial worker's calls to the user
    // interface before their receiver takes them over.
    TakeOver(event);
    if (watched == m_client && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        QTimer::singleShot(0, this, [this] {
            if (m_connectAfterPaint) {
                m_connectAfterPaint = false;
                QMetaObject::invokeMethod(this, &CMivoDlg::AutoConnect, Qt::QueuedConnection);
            }
            emit FirstPainted();
        });
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != this && !isAncestorOf(widget))) {
        return false;
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) {
        return false;
    }
    // Enter and Escape never close anything: the page (or the window) takes the focus, so an
    // edit being typed in commits its value, and the key goes no further.
    QWidget* target = this;
    for (QWidget* w = widget; w != nullptr && w != this; w = w->parentWidget()) {
        if (auto* page = qobject_cast<CPageDlg*>(w)) {
            target = page;
            break;
        }
    }
    target->setFocus(Qt::OtherFocusReason);
    return true;
}

void CMivoDlg::UseSmallScreenLayout() {
    m_small = true;
    const QSize designed = m_client->size();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(1290, 740);
    const int h = designed.height();
    const int w = designed.width();
    m_vScroll.SetUp(1, (h / 100) * 15, h / 100);
    m_hScroll.SetUp(1, (w / 50) * 20, w / 50);
    m_vBar = new QScrollBar(Qt::Vertical, this);
    m_hBar = new QScrollBar(Qt::Horizontal, this);
    const struct {
        QScrollBar* bar;
        CScrollState* state;
        Qt::Orientation orientation;
    } bars[] = {{m_vBar, &m_vScroll, Qt::Vertical}, {m_hBar, &m_hScroll, Qt::Horizontal}};
    for (const auto& b : bars) {
        b.bar->setRange(b.state->Minimum(), b.state->Highest());
        b.bar->setPageStep(b.state->Page());
        b.bar->setSingleStep(1);
        b.bar->setValue(b.state->Position());
        const Qt::Orientation orientation = b.orientation;
        connect(b.bar, &QAbstractSlider::valueChanged, this,
                [this, orientation](int value) { Scroll(orientation, value); });
        b.bar->show();
    }
    PlaceScrollBars();
}

void CMivoDlg::Scroll(Qt::Orientation orientation, int value) {
    CScrollState& state = orientation == Qt::Vertical ? m_vScroll : m_hScroll;
    const int delta = state.Apply(CScrollState::ThumbTrack, value);
    if (delta == 0) {
        return;
    }
    m_client->move(-m_hScroll.Offset(), -m_vScroll.Offset());
    update();
}

void CMivoDlg::PlaceScrollBars() {
    if (m_vBar == nullptr) {
        return;
    }
    const int v = m_vBar->sizeHint().width();
    const int h = m_hBar->sizeHint().height();
    m_vBar->setGeometry(width() - v, 0, v, height() - h);
    m_hBar->setGeometry(0, height() - h, width() - v, h);
    m_vBar->raise();
    m_hBar->raise();
}

void CMivoDlg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceScrollBars();
}

}  // namespace qx
