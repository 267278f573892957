#include "MainDlg.h"

#include <algorithm>

#include "BitButton.h"
#include "BitComboBox.h"
#include "BitmapSlider.h"
#include "ChannelBlocks.h"
#include "CopyToDlg.h"
#include "EQCurveStatic.h"
#include "EQDlg.h"
#include "FontStatic.h"
#include "LimiterBlock.h"
#include "NumEdit.h"
#include "ParameterSet.h"
#include "PassFilterBlock.h"
#include "SceneSelector.h"
#include "StaticStyle.h"
#include "StripRow.h"
#include "TuneButton.h"

namespace qx {

namespace {

using enum ControlKind;

// Record names of the eight output channels in a scene, index = EQ number - 8.
constexpr const char* kChannelNames[kOutputChannels] = {"MainL", "MainR", "Center",    "SUB",
                                                        "RearL", "RearR", "SurroundL", "SurroundR"};
constexpr const char* kSourceNames[kMixSources] = {"Music", "Mic", "EchoA", "EchoB", "Reverb"};

// One mix send: value label, level slider and its on/off switch, placed once per source.
// clang-format off
constexpr ControlRow kSendRow[] = {
    {0, Label, {62, 0, 40, 9}, {}, "@.level"},
    {1, Slider, {0, 11, 105, 10}, {}, "@.level"},
    {2, Toggle, {109, 8, 14, 14}, {}, "@.toggle", {}, 0, -1, skins::kSwitchButton},
};
// clang-format on
constexpr int kSendX = 347;
constexpr int kSendY = 6;
constexpr int kSendStep = 28;
constexpr TextPair kSendCaptions[kMixSources] = {
    {"音乐电平", "Music Level"},  {"话筒电平", "Mic Level"},    {"回声A电平", "EchoA Level"},
    {"回声B电平", "EchoB Level"}, {"混响电平", "Reverb Level"},
};
constexpr int kSendCaptionIds[kMixSources] = {1252, 1255, 1258, 1261, 1264};

// A delay: caption, time, distance and slider. The caption depends on the group.
// clang-format off
constexpr ControlRow kDelayRow[] = {
    {0, Caption, {0, 0, 44, 9}},
    {1, Label, {40, 0, 32, 9}, {}, "@.delay", {}, 0, -1, {}, ss::kRight | ss::kCenterImage},
    {2, Label, {74, 0, 31, 9}, {}, "@.delay", Shown(LabelRule::D48), 0, -1, {}, ss::kRight | ss::kCenterImage},
    {3, Slider, {0, 11, 105, 10}, {}, "@.delay"},
};
// clang-format on
constexpr int kLeftDelayIds[] = {CMainDlg::kLeftDelayCaption, CMainDlg::kLeftDelayValue,
                                 CMainDlg::kLeftDistance, CMainDlg::kLeftDelay};
constexpr int kRightDelayIds[] = {CMainDlg::kRightDelayCaption, CMainDlg::kRightDelayValue,
                                  CMainDlg::kRightDistance, CMainDlg::kRightDelay};

// Captions left empty here are set per group (ApplyGroupCaptions).
// clang-format off
constexpr ControlRow kRows[] = {
    {CMainDlg::kLeftMute, Toggle, {485, 5, 50, 14}, {}, "Scene[{scene}].{left}.mute"},
    {CMainDlg::kRightMute, Toggle, {537, 5, 50, 14}, {}, "Scene[{scene}].{right}.mute"},
    {CMainDlg::kLimitTitle, Caption, {485, 26, 110, 9}},
    {1286, Caption, {602, 63, 60, 9}, {"高通", "HPF"}},
    {1410, Caption, {602, 104, 60, 9}, {"低通", "LPF"}},
    {CMainDlg::kSync, Toggle, {14, 158, 50, 14}, {"同步", "SYNC"}, "OutputLinks[{link}]"},
    {CMainDlg::kLeftSide, Button, {70, 158, 50, 14}},
    {CMainDlg::kRightSide, Button, {126, 158, 50, 14}},
    {CMainDlg::kEqReset, Button, {182, 158, 50, 14}, {"EQ重置", "EQ Reset"}},
    {CMainDlg::kEqPass, Toggle, {238, 158, 50, 14}, {"EQ Pass", "EQ Pass"}, "Scene[{scene}].{out}.eqBypass"},
    {kCopyToButton, Button, {294, 158, 50, 14}, kCopyToText},
    {kTuneButton, Button, {350, 158, 50, 14}, kTuneText},
    {CMainDlg::kModeAuto, Button, {446, 158, 50, 14}, {"自动", "Auto"}},
    {CMainDlg::kModeAuto + 1, Button, {511, 158, 50, 14}, {"唱歌", "Sing"}},
    {CMainDlg::kModeAuto + 2, Button, {576, 158, 50, 14}, {"热舞", "Disco"}},
    {CMainDlg::kModeAuto + 3, Button, {641, 158, 50, 14}, {"解码", "Decode"}},
};
// clang-format on

constexpr int kStripCaptionIds[] = {1406, 1407, 1408, 1409};
constexpr int kHpfIds[] = {CMainDlg::kHpfSlope, CMainDlg::kHpfEdit, CMainDlg::kHpfSlider};
constexpr int kLpfIds[] = {CMainDlg::kLpfSlope, CMainDlg::kLpfEdit, CMainDlg::kLpfSlider};
constexpr int kLimiterIds[] = {
    1268, 1269, CMainDlg::kLimitLevel,   1271, 1272, CMainDlg::kLimitAttack,
    1274, 1275, CMainDlg::kLimitRelease, 1277, 1278, CMainDlg::kLimitRatio};
constexpr auto kLimiter = LimiterBlock({"压限启动时间", "Attack Time"});

StripRowSetup RowSetup() {
    StripRowSetup s;
    s.viewId = CMainDlg::kCurveView;
    s.view = {6, 176, 706, 167};
    s.stripCount = 10;
    s.stripX = 60;
    s.stripPitch = 53;
    s.stripY = 5;
    s.highPassControl = CMainDlg::kHpfSlider;
    s.lowPassControl = CMainDlg::kLpfSlider;
    return s;
}

constexpr TextPair kRightMuteText{"右静音", "R Mute"};
constexpr TextPair kRightDelayText{"右声道延时", "Right Delay"};

}  // namespace

// clang-format off
const std::array<CMainDlg::GroupInfo, CMainDlg::kGroups> CMainDlg::kGroupInfo = {{
    {kEqOutputFirst + kMainL, kEqOutputFirst + kMainR, 0, {"主左", "Main L"}, {"主右", "Main R"}, {"主输出压限", "Main Limit"}, {"左静音", "L Mute"}, {"左声道延时", "Left Delay"}},
    {kEqOutputFirst + kCenter, -1, -1, {}, {}, {"中置压限", "Center Limit"}, {"静音", "Mute"}, {"中置延时", "Center Delay"}},
    {kEqOutputFirst + kSub, -1, -1, {}, {}, {"超低压限", "SUB Limit"}, {"静音", "Mute"}, {"超低延时", "SUB Delay"}},
    {kEqOutputFirst + kRearL, kEqOutputFirst + kRearR, 2, {"后左", "Rear L"}, {"后右", "Rear R"}, {"后置输出压限", "Rear Limit"}, {"左静音", "L Mute"}, {"左声道延时", "Left Delay"}},
    {kEqOutputFirst + kSurroundL, kEqOutputFirst + kSurroundR, 3, {"环绕左", "Surround L"}, {"环绕右", "Surround R"}, {"环绕输出压限", "Surround Limit"}, {"左静音", "L Mute"}, {"左声道延时", "Left Delay"}},
}};
// clang-format on

CMainDlg::CMainDlg(QWidget* parent)
    : CPageDlg(parent, 149, 715, 359), m_row(new CStripRow(*this, RowSetup())) {
    m_binding.AddBlock(kStripRowCaptions, 0, 0, kStripCaptionIds, "");
    for (int s = 0; s < kMixSources; ++s) {
        const int y = kSendY + kSendStep * s;
        const ControlRow caption{kSendCaptionIds[s], Caption, {kSendX, y, 60, 9}, kSendCaptions[s]};
        m_binding.Add(ControlTable(&caption, 1));
        const int ids[] = {kMusicLevelValue + 3 * s, kMusicLevel + s, kMusicToggle + s};
        m_binding.AddBlock(kSendRow, kSendX, y, ids,
                           std::string("Scene[{scene}].{out}.send.") + kSourceNames[s]);
    }
    m_binding.AddBlock(kDelayRow, 602, 6, kLeftDelayIds, "Scene[{scene}].{left}");
    m_binding.AddBlock(kDelayRow, 602, 33, kRightDelayIds, "Scene[{scene}].{right}");
    m_binding.Add(kRows);
    // The limiter acts on the pair as a whole; the processor reads it from the left record.
    m_binding.AddBlock(kLimiter, 485, 38, kLimiterIds, "Scene[{scene}].{left}.limiter");
    CStripRow* row = m_row;
    CPassFilterBlock::Place(m_binding, 602, 73, kHpfIds, "Scene[{scene}].{out}.hpf",
                            [row] { row->View()->SelectBand(row->HighPassElement(), 0); });
    CPassFilterBlock::Place(m_binding, 602, 114, kLpfIds, "Scene[{scene}].{out}.lpf",
                            [row] { row->View()->SelectBand(row->LowPassElement(), 0); });

    m_binding.On(kEqReset).changed = [row](int) { row->ResetBands(); };
    m_binding.On(kEqPass).changed = [row](int) { row->RedrawCurve(); };
    CCopyToDlg::Attach(m_binding, kCopyToButton, [this] {
        return CopyEndpoint{CopyKind::Output, EditedEq() - kEqOutputFirst, SceneInForce()};
    });
    AttachTuneButton(m_binding, kTuneButton, [row] { return row->View(); });
    m_binding.On(kSync).store = [this](int on) { OnLink(on); };
    m_binding.On(kLeftSide).changed = [this](int) { OnSide(LeftEq()); };
    m_binding.On(kRightSide).changed = [this](int) { OnSide(RightEq()); };
    for (int mode = 0; mode < 4; ++mode) {
        m_binding.On(kModeAuto + mode).changed = [this, mode](int) { OnMode(mode); };
    }

    m_row->Create(kCurveGroupOutputs, EditedEq());
    SetPlaceholders();
    ApplyLanguage();
}

int CMainDlg::LeftEq() const {
    return Info().leftEq;
}

int CMainDlg::RightEq() const {
    return Info().rightEq;
}

std::size_t CMainDlg::PairIndex() const {
    // Main 0, Rear 1, Surround 2; only asked for pairs.
    return m_group == kGroupMain ? 0 : m_group == kGroupRear ? 1 : 2;
}

int& CMainDlg::EditedSide() {
    return m_editedSide[PairIndex()];
}

int CMainDlg::EditedEq() const {
    return IsPair() ? m_editedSide[PairIndex()] : LeftEq();
}

std::string CMainDlg::LinkField() const {
    return "OutputLinks[" + std::to_string(Info().linkByte) + "]";
}

bool CMainDlg::IsLinked() const {
    return IsPair() && m_binding.Read(LinkField()) == 1;
}

void CMainDlg::SetPlaceholders() {
    const auto name = [](int eq) {
        return std::string(kChannelNames[static_cast<std::size_t>(eq - kEqOutputFirst)]);
    };
    m_binding.SetPlaceholder("out", name(EditedEq()));
    m_binding.SetPlaceholder("left", name(LeftEq()));
    // A single channel has no right record and no link: those fields stay unresolved, so the
    // hidden right-side controls can neither show nor store anything.
    m_binding.SetPlaceholder("right", IsPair() ? name(RightEq()) : std::string());
    m_binding.SetPlaceholder("link", IsPair() ? std::to_string(Info().linkByte) : std::string());
}

void CMainDlg::ShowChannelGroup(int group) {
    m_group = std::clamp(group, 0, kGroups - 1);
    ApplyShown(m_binding, OutputPageRules(State()).controls);
    SetPlaceholders();
    m_row->Bind(EditedEq());
    m_row->ShowCurve();
    ApplyGroupCaptions();
}

void CMainDlg::RefreshFromParameters() {
    if (IsLinked()) {
        EditedSide() = LeftEq();  // a linked pair is edited through its left channel
    }
    SetPlaceholders();
    // The strips follow the edited channel of the scene in force; binding again also covers a
    // scene changed by a device read, a mode recall or a file import. The mark is dropped.
    m_row->Bind(EditedEq());
    CPageDlg::RefreshFromParameters();
    UpdateEnableState();
    UpdateButtons();
    m_row->ShowCurve();
    ApplyGroupCaptions();
}

OutputPageState CMainDlg::State() const {
    return {ParameterSet.program.OutputMode, IsPair(), IsLinked()};
}

void CMainDlg::UpdateEnableState() {
    const OutputPageEnabling rules = OutputPageRules(State());
    ApplyEnabled(m_binding, rules.controls);
    for (int i = 0; i < m_row->StripCount(); ++i) {
        m_row->Strip(i)->setEnabled(rules.strips);
    }
}

void CMainDlg::UpdateButtons() {
    const int mode = ParameterSet.program.OutputMode;
    for (int m = 0; m < 4; ++m) {
        m_binding.Get<CBitButton>(kModeAuto + m)->SetCheck(m == mode ? 1 : 0);
    }
    const bool linked = IsLinked();
    const bool left = IsPair() && EditedEq() == LeftEq();
    m_binding.Get<CBitButton>(kLeftSide)->SetCheck(left && !linked ? 1 : 0);
    m_binding.Get<CBitButton>(kRightSide)->SetCheck(IsPair() && !left ? 1 : 0);
}

void CMainDlg::ApplyLanguage() {
    CPageDlg::ApplyLanguage();
    ApplyGroupCaptions();
}

void CMainDlg::ApplyGroupCaptions() {
    const GroupInfo& g = Info();
    const auto text = [](const TextPair& t) { return QString::fromUtf8(t.Get()); };
    const auto caption = [this](int id) { return m_binding.Get<CFontStatic>(id); };
    m_binding.Get<CBitButton>(kLeftMute)->setText(text(g.leftMute));
    m_binding.Get<CBitButton>(kRightMute)->setText(text(kRightMuteText));
    caption(kLimitTitle)->SetText(text(g.limitTitle));
    caption(kLeftDelayCaption)->SetText(text(g.leftDelay));
    caption(kRightDelayCaption)->SetText(text(kRightDelayText));
    if (IsPair()) {
        m_binding.Get<CBitButton>(kLeftSide)->setText(text(g.leftSide));
        m_binding.Get<CBitButton>(kRightSide)->setText(text(g.rightSide));
    }
}

void CMainDlg::OnMode(int mode) {
    if (ParameterSet.program.OutputMode == mode) {
        return;  // the active mode: nothing changes and nothing is sent
    }
    // The byte itself, not SetMode: Auto keeps showing the scene remembered at reset.
    m_binding.Write("OutputMode", mode);
    RefreshFromParameters();
}

void CMainDlg::OnSide(int eqNumber) {
    if (!IsPair()) {
        return;
    }
    m_binding.Write(LinkField(), 0);
    if (eqNumber == EditedSide()) {
        return;
    }
    EditedSide() = eqNumber;
    RefreshFromParameters();
}

void CMainDlg::OnLink(int on) {
    if (!IsPair()) {
        return;
    }
    // The copy below writes the image and the sent image; the worker must not compare them
    // half-way through.
    ParamGuard guard(ParamLock);
    m_binding.Write(LinkField(), on);
    if (on != 0) {
        EditedSide() = LeftEq();
    } else {
        m_binding.Model().LinkOutputPair(RightEq(), m_binding.Origin());
    }
    RefreshFromParameters();
}

}  // namespace qx
