#include "MusicDlg.h"

#include "CopyToDlg.h"
#include "ExciterBlock.h"
#include "LimiterBlock.h"
#include "NoiseGateBlock.h"
#include "PageGlobals.h"
#include "ParameterSet.h"
#include "PassFilterBlock.h"
#include "TuneButton.h"

namespace qx {

namespace {

using enum ControlKind;

// Column of the filters, the key and the low exciter; column of the dynamics and the high
// exciter.
constexpr int kColA = 368;
constexpr int kColB = 490;
constexpr int kColC = 606;

// clang-format off
constexpr ControlRow kRows[] = {
    {1074, Caption, {kColA, 4, 100, 9}, {"高通", "HPF"}},
    {1077, Caption, {kColA, 44, 100, 9}, {"低通", "LPF"}},
    {1070, Caption, {kColA, 84, 100, 9}, {"主通道音乐高通", "MainMusic HPF"}},
    {1385, Caption, {kColA, 126, 60, 9}, {"音乐变调", "Key Control"}},
    {1386, Label, {kColA + 62, 126, 43, 9}, {}, "System.key"},
    {1387, Slider, {kColA, 136, 105, 10}, {}, "System.key"},
    {1082, Caption, {kColC, 4, 100, 9}, {"低音激励", "Low Exciter"}},
    {1044, Caption, {kColB, 4, 100, 9}, {"噪声门", "NoiseGate"}},
    {1032, Caption, {kColB, 88, 100, 9}, {"音乐压限器", "Music Limit"}},
    {1083, Caption, {kColC, 84, 100, 9}, {"高音激励", "High Exciter"}},
    {1064, Toggle, {4, 323, 52, 14}, {"同步", "SYNC"}, "MusicLink"},
    {1065, Button, {60, 323, 52, 14}, {"音乐左", "Music Left"}},
    {1066, Button, {116, 323, 52, 14}, {"音乐右", "Music Right"}},
    {1067, Button, {172, 323, 52, 14}, {"EQ 重置", "EQ Reset"}},
    {1068, Toggle, {228, 323, 52, 14}, {"EQ Bypass", "EQ Bypass"}, "{ch}.eqBypass"},
    {kCopyToButton, Button, {284, 323, 52, 14}, kCopyToText},
    {kTuneButton, Button, {340, 323, 52, 14}, kTuneText},
};
// clang-format on

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

constexpr StripRowSetup kRow{
    .viewId = CMusicDlg::kCurveView,
    .view = {4, 157, 356, 163},
    .trackbarId = CMusicDlg::kTrackbar,
    .trackbar = {34, 143, 326, 12},
    .trackbarMaximum = 5,
    .firstBand = &musicFirstBand,
    .lastBand = &musicLastBand,
    .highPassControl = 1076,
    .lowPassControl = 1079,
};

const ChannelPairSetup kPair{
    .syncId = CMusicDlg::kSync,
    .leftId = CMusicDlg::kLeft,
    .rightId = CMusicDlg::kRight,
    .linkField = "MusicLink",
    .placeholder = "ch",
    .leftBlock = "MusicLeft",
    .rightBlock = "MusicRight",
    .leftEq = kEqMusicLeft,
    .rightEq = kEqMusicRight,
    .edited = &musicChannel,
    .copyLeftToRight = &CImageModel::LinkMusic,
};

}  // namespace

CMusicDlg::CMusicDlg(QWidget* parent) : CStereoEqPage(parent, 135, kRow, kPair) {
    m_binding.Add(kRows);
    m_binding.AddBlock(kStripRowCaptions, 0, 0, kStripCaptionIds, "");
    m_row->PlaceFilterBlocks(kColA, 14, 54, kHpfIds, kLpfIds, "{ch}");
    CPassFilterBlock::Place(m_binding, kColA, 94, kMainHpfIds, "{ch}.mainHpf");
    // The dynamics act on both channels together; the processor reads them from the left.
    m_binding.AddBlock(kNoiseGateBlock, kColB, 14, kGateIds, "MusicLeft.noiseGate");
    m_binding.AddBlock(kLimiter, kColB, 98, kLimiterIds, "MusicLeft.limiter");
    m_binding.AddBlock(kExciterBlock, kColC, 14, kLowExciterIds, "{ch}.lowExciter");
    m_binding.AddBlock(kExciterBlock, kColC, 94, kHighExciterIds, "{ch}.highExciter");

    m_row->AttachEqButtons(kEqReset, kEqBypass);
    CCopyToDlg::Attach(m_binding, kCopyToButton, [] {
        return CopyEndpoint{CopyKind::Music, musicChannel};
    });
    AttachTuneButton(m_binding, kTuneButton, [this] { return m_row->View(); });

    Start(0);
}

}  // namespace qx
