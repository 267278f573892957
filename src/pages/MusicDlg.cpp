#include "MusicDlg.h"

#include "ChannelPair.h"
#include "EQCurveStatic.h"
#include "ExciterBlock.h"
#include "LimiterBlock.h"
#include "NoiseGateBlock.h"
#include "PageGlobals.h"
#include "ParameterSet.h"
#include "PassFilterBlock.h"
#include "StripRow.h"

namespace qx {

namespace {

using enum ControlKind;

// Column of the filters, the key and the low exciter; column of the dynamics and the high
// exciter.
constexpr int kColA = 368;
constexpr int kColB = 540;

constexpr ControlRow kRows[] = {
    {1074, Caption, {kColA, 4, 100, 9}, {"高通", "HPF"}},
    {1077, Caption, {kColA, 44, 100, 9}, {"低通", "LPF"}},
    {1070, Caption, {kColA, 84, 100, 9}, {"主通道音乐高通", "MainMusic HPF"}},
    {1385, Caption, {kColA, 126, 60, 9}, {"音乐变调", "Key Control"}},
    {1386, Label, {kColA + 62, 126, 43, 9}, {}, "System.key", Shown(LabelRule::L20, 1, 7)},
    {1387, Slider, {kColA, 136, 105, 10}, {}, "System.key"},
    {1082, Caption, {kColA, 154, 100, 9}, {"低音激励", "Low Exciter"}},
    {1044, Caption, {kColB, 4, 100, 9}, {"噪声门", "NoiseGate"}},
    {1032, Caption, {kColB, 88, 100, 9}, {"音乐压限器", "Music Limit"}},
    {1083, Caption, {kColB, 194, 100, 9}, {"高音激励", "High Exciter"}},
    {1064, Toggle, {4, 341, 52, 14}, {"同步", "SYNC"}, "MusicLink"},
    {1065, Button, {60, 341, 52, 14}, {"音乐左", "Music Left"}},
    {1066, Button, {116, 341, 52, 14}, {"音乐右", "Music Right"}},
    {1067, Button, {172, 341, 52, 14}, {"EQ 重置", "EQ Reset"}},
    {1068, Toggle, {228, 341, 52, 14}, {"EQ Bypass", "EQ Bypass"}, "{ch}.eqBypass"},
};

// Block ids, in the order of each block's slots.
constexpr int kStripCaptionIds[] = {1390, 1391, 1392, 1393};
constexpr int kHpfIds[] = {1053, 1023, 1076};
constexpr int kLpfIds[] = {1054, 1024, 1079};
constexpr int kMainHpfIds[] = {1055, 1022, 1069};
constexpr int kGateIds[] = {1045, 1046, 1047, 1048, 1049, 1050, 1051, 1052, 1080};
constexpr int kLimiterIds[] = {1033, 1037, 1038, 1034, 1039, 1081,
                               1035, 1040, 1041, 1036, 1043, 1042};
constexpr int kLowExciterIds[] = {1056, 1293, 1084, 1058, 1025, 1059, 1030};
constexpr int kHighExciterIds[] = {1062, 1294, 1085, 1061, 1026, 1060, 1031};
constexpr auto kLimiter = LimiterBlock();

StripRowSetup RowSetup() {
    StripRowSetup s;
    s.viewId = CMusicDlg::kCurveView;
    s.view = {4, 157, 356, 180};
    s.trackbarId = CMusicDlg::kTrackbar;
    s.trackbar = {34, 143, 326, 12};
    s.trackbarMaximum = 5;
    s.firstBand = &musicFirstBand;
    s.lastBand = &musicLastBand;
    s.highPassControl = 1076;
    s.lowPassControl = 1079;
    return s;
}

ChannelPairSetup PairSetup() {
    ChannelPairSetup s;
    s.syncId = CMusicDlg::kSync;
    s.leftId = CMusicDlg::kLeft;
    s.rightId = CMusicDlg::kRight;
    s.linkField = "MusicLink";
    s.placeholder = "ch";
    s.leftBlock = "MusicLeft";
    s.rightBlock = "MusicRight";
    s.leftEq = kEqMusicLeft;
    s.rightEq = kEqMusicRight;
    s.edited = &musicChannel;
    s.copyLeftToRight = &LinkMusic;
    return s;
}

}  // namespace

CMusicDlg::CMusicDlg(QWidget* parent)
    : CPageDlg(parent, 135, 715, 359), m_row(new CStripRow(*this, RowSetup())) {
    m_binding.SetPlaceholder("ch", "MusicLeft");
    m_binding.Add(kRows);
    m_binding.AddBlock(kStripRowCaptions, 0, 0, kStripCaptionIds, "");
    CStripRow* row = m_row;
    const auto highlightH = [row] { row->View()->SelectBand(row->HighPassElement(), 0); };
    const auto highlightL = [row] { row->View()->SelectBand(row->LowPassElement(), 0); };
    CPassFilterBlock::Place(
        m_binding, kColA, 14, kHpfIds, "{ch}.hpf", [row] { return row->HighPass(); }, highlightH);
    CPassFilterBlock::Place(
        m_binding, kColA, 54, kLpfIds, "{ch}.lpf", [row] { return row->LowPass(); }, highlightL);
    CPassFilterBlock::Place(m_binding, kColA, 94, kMainHpfIds, "{ch}.mainHpf");
    // The dynamics act on both channels together; the processor reads them from the left.
    m_binding.AddBlock(kNoiseGateBlock, kColB, 14, kGateIds, "MusicLeft.noiseGate");
    m_binding.AddBlock(kLimiter, kColB, 98, kLimiterIds, "MusicLeft.limiter");
    m_binding.AddBlock(kExciterBlock, kColA, 164, kLowExciterIds, "{ch}.lowExciter");
    m_binding.AddBlock(kExciterBlock, kColB, 204, kHighExciterIds, "{ch}.highExciter");

    m_channels = new CChannelPair(*this, *m_row, PairSetup());
    m_binding.On(kEqReset).changed = [row](int) { row->ResetBands(); };
    m_binding.On(kEqBypass).changed = [row](int) { row->RedrawCurve(); };

    m_row->Create(0, musicChannel);
    RefreshFromParameters();
    ApplyLanguage();
}

void CMusicDlg::RefreshFromParameters() {
    m_channels->PrepareRefresh();
    m_row->Reload();
    CPageDlg::RefreshFromParameters();
    m_channels->ShowButtons();
    m_row->ShowCurve();
}

void CMusicDlg::SelectChannel(int a) {
    m_channels->SelectChannel(a);
}

}  // namespace qx
