#include "Mic_Dlg.h"

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

constexpr int kColA = 368;
constexpr int kColB = 490;
constexpr int kColC = 606;

// clang-format off
constexpr ControlRow kRows[] = {
    {3041, Caption, {kColA, 4, 100, 9}, {"高通", "HPF"}},
    {3043, Caption, {kColA, 44, 100, 9}, {"低通", "LPF"}},
    {3044, Caption, {kColA, 84, 60, 9}, {"话筒电平", "Mic Level"}},
    {3045, Label, {kColA + 62, 84, 43, 9}, {}, "{ch}.level"},
    {3003, Slider, {kColA, 94, 105, 10}, {}, "{ch}.level"},
    {3046, Caption, {kColA, 112, 60, 9}, {"啸叫抑制", "Feedback"}},
    {1053, Combo, {kColA + 62, 111, 43, 12}, {}, "{ch}.feedback", Items(kFeedbackNames)},
    {3063, Caption, {kColC, 4, 100, 9}, {"低音激励", "Low Exciter"}},
    {3047, Caption, {kColB, 4, 100, 9}, {"噪声门", "NoiseGate"}},
    {3054, Caption, {kColB, 88, 100, 9}, {"压限器", "Limit"}},
    {3068, Caption, {kColC, 84, 100, 9}, {"高音激励", "High Exciter"}},
    {1064, Toggle, {4, 323, 52, 14}, {"同步", "SYNC"}, "MicLink"},
    {1065, Button, {60, 323, 52, 14}, {"话筒1", "Mic 1"}},
    {1066, Button, {116, 323, 52, 14}, {"话筒2", "Mic 2"}},
    {1067, Button, {172, 323, 52, 14}, {"EQ 重置", "EQ Reset"}},
    {1068, Toggle, {228, 323, 52, 14}, {"EQ Bypass", "EQ Bypass"}, "{ch}.eqBypass"},
    {kCopyToButton, Button, {284, 323, 52, 14}, kCopyToText},
    {kTuneButton, Button, {340, 323, 52, 14}, kTuneText},
};
// clang-format on

// Block ids, in the order of each block's slots.
constexpr int kStripCaptionIds[] = {1394, 1395, 1396, 1397};
constexpr int kHpfIds[] = {3025, 3031, 3001};
constexpr int kLpfIds[] = {3024, 3030, 3002};
constexpr int kGateIds[] = {3048, 3049, 3004, 3050, 3051, 3005, 3052, 3053, 3006};
constexpr int kLimiterIds[] = {3055, 3056, 3007, 3057, 3058, 3008,
                               3059, 3060, 3009, 3061, 3062, 3010};
constexpr int kLowExciterIds[] = {3064, 1022, 3012, 3066, 3023, 3067, 3020};
constexpr int kHighExciterIds[] = {3069, 1023, 3011, 3071, 3022, 3072, 3021};
constexpr auto kLimiter = LimiterBlock();

constexpr StripRowSetup kRow{
    .viewId = CMic_Dlg::kCurveView,
    .view = {4, 157, 356, 163},
    .trackbarId = CMic_Dlg::kTrackbar,
    .trackbar = {34, 143, 326, 12},
    .trackbarMaximum = 10,
    .firstBand = &micFirstBand,
    .lastBand = &micLastBand,
    .highPassControl = 3001,
    .lowPassControl = 3002,
};

const ChannelPairSetup kPair{
    .syncId = CMic_Dlg::kSync,
    .leftId = CMic_Dlg::kMic1,
    .rightId = CMic_Dlg::kMic2,
    .linkField = "MicLink",
    .placeholder = "ch",
    .leftBlock = "Mic1",
    .rightBlock = "Mic2",
    .leftEq = kEqMic1,
    .rightEq = kEqMic2,
    .edited = &micEq,
    .copyLeftToRight = &CImageModel::LinkMic,
};

}  // namespace

CMic_Dlg::CMic_Dlg(QWidget* parent) : CStereoEqPage(parent, 145, kRow, kPair) {
    m_binding.Add(kRows);
    m_binding.AddBlock(kStripRowCaptions, 0, 0, kStripCaptionIds, "");
    m_row->PlaceFilterBlocks(kColA, 14, 54, kHpfIds, kLpfIds, "{ch}");
    // Each microphone has its own dynamics.
    m_binding.AddBlock(kNoiseGateBlock, kColB, 14, kGateIds, "{ch}.noiseGate");
    m_binding.AddBlock(kLimiter, kColB, 98, kLimiterIds, "{ch}.limiter");
    m_binding.AddBlock(kExciterBlock, kColC, 14, kLowExciterIds, "{ch}.lowExciter");
    m_binding.AddBlock(kExciterBlock, kColC, 94, kHighExciterIds, "{ch}.highExciter");

    m_row->AttachEqButtons(kEqReset, kEqBypass);
    CCopyToDlg::Attach(m_binding, kCopyToButton, [] {
        return CopyEndpoint{CopyKind::Mic, micEq - kEqMic1};
    });
    AttachTuneButton(m_binding, kTuneButton, [this] { return m_row->View(); });

    Start(2);
}

}  // namespace qx
