#include "MivoDlg.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTimer>
#include <ctime>

#include "AboutDlg.h"
#include "BitButton.h"
#include "ByteField.h"
#include "CurveSets.h"
#include "DEQ_Dlg.h"
#include "DeviceLink.h"
#include "DialogUnits.h"
#include "Effect_Dlg.h"
#include "EnTabCtrl.h"
#include "FontStatic.h"
#include "LinkState.h"
#include "MainDlg.h"
#include "MessageMap.h"
#include "Mic_Dlg.h"
#include "MusicDlg.h"
#include "OfflineWork.h"
#include "ParameterSet.h"
#include "Show_Dlg.h"
#include "SkinBitmaps.h"
#include "SkinColors.h"
#include "StaticStyle.h"
#include "SysDlg.h"
#include "TextPair.h"

namespace qx {

std::atomic<int> currentTab{kTabCount - 1};

namespace {

CMivoDlg* theMainWindow = nullptr;

using enum ControlKind;

// The top bar. Each master volume is a caption, a slider and a value label on the volume
// bits of its byte, and a mute button on the byte's top bit.
constexpr ControlRow kTopBar[] = {
    {3800, Caption, {4, 4, 36, 11}, {"音乐音量", "Music Vol"}},
    {3820, Slider, {41, 4, 114, 11}, {}, "System.musicVolume", {}, 0, 84, skins::kVolumeSlider},
    {3810, Label, {156, 4, 14, 11}, {}, "System.musicVolume", Shown(LabelRule::L20)},
    {4000, Toggle, {171, 4, 13, 11}, {}, "System.musicMute", {}, 0, -1, skins::kMuteButton},

    {3801, Caption, {186, 4, 36, 11}, {"话筒音量", "Mic Vol"}},
    {3821, Slider, {223, 4, 114, 11}, {}, "System.micVolume", {}, 0, 84, skins::kVolumeSlider},
    {3811, Label, {338, 4, 14, 11}, {}, "System.micVolume", Shown(LabelRule::L20)},
    {4002, Toggle, {353, 4, 13, 11}, {}, "System.micMute", {}, 0, -1, skins::kMuteButton},

    {3802, Caption, {368, 4, 36, 11}, {"效果音量", "Effect Vol"}},
    {3822, Slider, {405, 4, 114, 11}, {}, "System.effectVolume", {}, 0, 70, skins::kVolumeSlider},
    {3812, Label, {520, 4, 14, 11}, {}, "System.effectVolume", Shown(LabelRule::L20)},
    {4001, Toggle, {535, 4, 13, 11}, {}, "System.effectMute", {}, 0, -1, skins::kMuteButton},

    {3830, Caption, {552, 3, 80, 13}, {}, nullptr, {}, 0, -1, {}, ss::kCenter},
    {3831, Button, {635, 3, 42, 13}, {}, nullptr, {}, 0, -1, skins::kTopBarButton},
    // The language button names the language it switches to.
    {3832, Button, {679, 3, 42, 13}, {"English", "中文"}, nullptr, {}, 0, -1, skins::kTopBarButton},
};

constexpr DuRect kTabRect{0, 18, 723, 355};
constexpr int kTabHeader = 21;  // pixels above a page inside the tab control

const TextPair kTitle{"人声处理器 KR38-1.01", "Zelvoro QX-1.01"};
const TextPair kOffLine{"脱机", "Off Line"};
const TextPair kConnect{"联机", "Connect"};
const TextPair kDisconnect{"断开", "Disconnect"};
const TextPair kAboutItem{"关于(&A)...", "关于(&A)..."};
const TextPair kKeptNotice{"脱机编辑已保存为 ", "Offline work saved as "};
const TextPair kKeepFailed{"脱机编辑未能保存: ", "Offline work could not be saved: "};

// The background: the skin's bitmap 167 at its own size, on a plain window colour.
class CBackground : public QWidget {
  public:
    explicit CBackground(QWidget* parent) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QImage& image = CSkinBitmaps::Get(skinid::kMainBackground);
        if (image.isNull()) {
            p.fillRect(rect(), skin::kTopBarColor);
        } else {
            p.drawImage(0, 0, image);
        }
    }
};

QString Utf8(const TextPair& pair) {
    return QString::fromUtf8(pair.Get());
}

}  // namespace

CMivoDlg* MainWindow() {
    return theMainWindow;
}

QString CMivoDlg::Title() {
    return Utf8(kTitle);
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
      m_client(new CBackground(this)),
      m_topBar(m_client),
      m_offline(std::make_unique<COfflineWork>()) {
    theMainWindow = this;
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QSize designed = CDialogUnits::ToPixels(QSize(723, 373));
    m_client->setGeometry(QRect(QPoint(0, 0), designed));
    setFixedSize(designed);

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

    m_link = std::make_unique<CDeviceLink>(m_progress);
    m_link->SetMainWindow(this);
    // Offline work is kept before the reads that replace the image are queued: this filter
    // sees the device's answer before the link acts on it.
    m_link->installEventFilter(this);
    m_client->installEventFilter(this);
    SetUpMessages();
    m_offline->NoteLoaded(ParameterSet);
    qApp->installEventFilter(this);

    if (m_options.autoConnect) {
        PostMessage(this, WM_AUTO_CONNECT, 0, 0);
    }
    bool small = m_options.smallScreen == 1;
    if (m_options.smallScreen < 0 && QGuiApplication::primaryScreen() != nullptr) {
        const QSize screen = QGuiApplication::primaryScreen()->size();
        small = screen.width() < 1366 || screen.height() < 768;
    }
    if (small) {
        UseSmallScreenLayout();
    }
}

CMivoDlg::~CMivoDlg() {
    qApp->removeEventFilter(this);
    if (m_link) {
        m_link->removeEventFilter(this);
        m_link->SetUi(nullptr);
        m_link.reset();  // stops the worker and closes the port
    }
    if (theMainWindow == this) {
        theMainWindow = nullptr;
    }
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
    m_topBar.On(kConnectButton).changed = [this](int) { ConnectDevice(); };
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

    m_music = new CMusicDlg(m_tabs);
    m_deq = new CDEQ_Dlg(m_tabs);
    m_mic = new CMic_Dlg(m_tabs);
    m_effect = new CEffect_Dlg(m_tabs);
    m_output = new CMainDlg(m_tabs);
    m_system = new CSysDlg(m_tabs);
    const QRect area = m_tabs->rect().adjusted(1, kTabHeader, -1, -1);
    for (CPageDlg* page : {static_cast<CPageDlg*>(m_music), static_cast<CPageDlg*>(m_deq),
                           static_cast<CPageDlg*>(m_mic), static_cast<CPageDlg*>(m_effect),
                           static_cast<CPageDlg*>(m_output), static_cast<CPageDlg*>(m_system)}) {
        page->setGeometry(area);
        page->hide();
    }

    m_noticeLabel = new QLabel(m_client);
    m_noticeLabel->setStyleSheet(
        QStringLiteral("QLabel { background: rgb(36,45,46); color: white; padding: 4px; }"));
    m_noticeLabel->hide();

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

void CMivoDlg::SetUpMessages() {
    m_messages = new CMessageMap(this);
    m_messages->On(WM_AUTO_CONNECT, [this](WParam, LParam) {
        // A shown window paints first, so the editor is seen at once; the search then starts
        // from the event loop right after that paint.
        if (isVisible() && !m_painted) {
            m_connectAfterPaint = true;
            return;
        }
        ConnectDevice();
    });
    m_messages->On(WM_SYSTEM_RECEIVED, [this](WParam, LParam) {
        if (currentTab == kSystemTab) {
            m_system->RefreshFromParameters();
        }
    });
    m_messages->On(WM_PARAMETERS_RECEIVED, [this](WParam, LParam) { OnParametersReceived(); });
    m_messages->On(WM_MODES_RECEIVED, [this](WParam, LParam) { OnModesReceived(); });
    m_messages->On(WM_SYSTEM_DATA_RECEIVED, [this](WParam w, LParam) {
        m_system->ShowMonitor(static_cast<int>(w));
        m_system->RequestMonitor();
    });
}

void CMivoDlg::OnParametersReceived() {
    // Curve sets follow the adopted image before any page draws from them.
    ApplyPendingCurveReloads();
    RefreshCurrentPage();
    RefreshTopBar(true);
    NoteImageLoaded();
    emit ParametersShown();
}

void CMivoDlg::OnModesReceived() {
    // The bank read of "Export all" is complete: the System page saves it.
    m_system->Files().SaveReceivedBank();
}

CPageDlg* CMivoDlg::Page(int tab) const {
    switch (tab) {
        case 0:
            return m_music;
        case 1:
            return m_deq;
        case 2:
            return m_mic;
        case 3:
            return m_effect;
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
            return m_output;
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
    for (int tab = 0; tab < kTabCount; ++tab) {
        if (Page(tab) != shown) {
            Page(tab)->hide();
        }
    }
    if (index >= 4 && index <= 8) {
        m_output->ShowChannelGroup(index - 4);
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
    connect->SetCheck(online ? 1 : 0);
    connect->setText(Utf8(online ? kDisconnect : kConnect));
    if (!online) {
        strip->SetText(Utf8(kOffLine));
    } else if (full) {
        strip->SetText(ProgramStripText(ParameterSet));
    }
}

void CMivoDlg::ApplyLanguageAll() {
    for (int i = 0; i < kTabCount; ++i) {
        m_tabs->SetItemText(i, Utf8(kTabNames[static_cast<std::size_t>(i)]));
    }
    m_topBar.ApplyLanguage();
    setWindowTitle(Title());
    RefreshTopBar(false);
    for (CPageDlg* page : {static_cast<CPageDlg*>(m_music), static_cast<CPageDlg*>(m_deq),
                           static_cast<CPageDlg*>(m_mic), static_cast<CPageDlg*>(m_effect),
                           static_cast<CPageDlg*>(m_output), static_cast<CPageDlg*>(m_system)}) {
        page->ApplyLanguage();
    }
    update();
}

void CMivoDlg::ClampVolume(const char* volumeField, const char* maxField) {
    const int volume = m_topBar.Read(volumeField);
    const int maximum = m_topBar.Read(maxField);
    if (volume > maximum) {
        m_topBar.WriteByte(volumeField, static_cast<uint8_t>(maximum));
    }
}

void CMivoDlg::ClampMusicVolume() {
    ClampVolume("System.musicVolume", "System.musicMax");
}
void CMivoDlg::ClampMicVolume() {
    ClampVolume("System.micVolume", "System.micMax");
}
void CMivoDlg::ClampEffectVolume() {
    ClampVolume("System.effectVolume", "System.effectMax");
}

void CMivoDlg::SendDeviceCommand(uint8_t command, uint8_t argument) {
    m_link->SendDeviceCommand(command, argument);
}

void CMivoDlg::StartQueueProgress() {
    m_link->StartQueueProgress();
}

void CMivoDlg::ConnectDevice() {
    m_link->ConnectDevice();
}

void CMivoDlg::DisconnectDevice() {
    m_link->DisconnectDevice();
}

void CMivoDlg::NoteImageLoaded() {
    m_offline->NoteLoaded(ParameterSet);
}

QString CMivoDlg::Notice() const {
    return m_noticeLabel->isHidden() ? QString() : m_noticeLabel->text();
}

void CMivoDlg::KeepOfflineWork() {
    std::string path;
    const FileResult r = m_offline->KeepIfChanged(ParameterSet, m_options.musicFolder.toStdString(),
                                                  std::time(nullptr), path);
    QString text;
    if (!r.ok) {
        text = Utf8(kKeepFailed) + QString::fromStdString(r.error);
    } else if (!path.empty()) {
        text = Utf8(kKeptNotice) + QString::fromStdString(path);
    } else {
        return;
    }
    m_noticeLabel->setText(text);
    m_noticeLabel->adjustSize();
    m_noticeLabel->move(8, m_client->height() - m_noticeLabel->height() - 8);
    m_noticeLabel->show();
    m_noticeLabel->raise();
    QTimer::singleShot(20000, m_noticeLabel, &QWidget::hide);
}

void CMivoDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

bool CMivoDlg::eventFilter(QObject* watched, QEvent* event) {
    // Installed on the application, the filter sees the serial worker's posted events before
    // their receivers do.
    TakeOver(event);
    if (watched == m_client && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        QTimer::singleShot(0, this, [this] {
            if (m_connectAfterPaint) {
                m_connectAfterPaint = false;
                PostMessage(this, WM_AUTO_CONNECT, 0, 0);
            }
            emit FirstPainted();
        });
        return false;
    }
    if (m_link && watched == m_link.get() && event->type() == WM_DEVICE_FOUND) {
        KeepOfflineWork();
        return false;  // the link goes on to read the processor
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
