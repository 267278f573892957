#include "Rev_Dlg.h"

#include "ParameterSet.h"

namespace qx {

namespace {

using enum ControlKind;

constexpr int kA = CEffectPage::kColumnA;
constexpr int kB = CEffectPage::kColumnB;
constexpr int kLabelX = kB + 72;
constexpr int kPitch = 28;

// clang-format off
constexpr ControlRow kRows[] = {
    {3528, Caption, {kA, 8, 76, 9}, {"混响音量", "Reverb Wet Volume"}},
    {1232, Caption, {kA, 36, 76, 9}, {"混响直达声", "Reverb Dry Volume"}},
    {3536, Caption, {kA, 66, 100, 9}, {"高通", "HPF"}},
    {3540, Caption, {kA, 107, 100, 9}, {"低通", "LPF"}},
    // The pre-delay moves in steps of 2 ms, the time in steps of 50 ms; the codes are 0.1 ms.
    {3544, Caption, {kB, 8, 76, 9}, {"混响预延时", "Reverb PreDelay"}},
    {3545, Label, {kLabelX, 8, 40, 9}, {}, "Reverb.preDelay", Stepped(20, Shown(LabelRule::L20, 2, 0, "ms"))},
    {3624, Slider, {kB, 18, 105, 10}, {}, "Reverb.preDelay", Stepped(20), 0, 100},
    {3547, Caption, {kB, 8 + kPitch, 76, 9}, {"混响时间", "Reverb Time"}},
    {3548, Label, {kLabelX, 8 + kPitch, 40, 9}, {}, "Reverb.time", Stepped(500, Shown(LabelRule::L20, 50, 0, "ms"))},
    {3625, Slider, {kB, 18 + kPitch, 105, 10}, {}, "Reverb.time", Stepped(500), 0, 100},
    {1066, Button, {kB, 148, 50, 14}, {"EQ重置", "EQ Reset"}},
    {1067, Toggle, {kB + 55, 148, 50, 14}, {"EQ pass", "EQ pass"}, "Reverb.eqBypass"},
};
// clang-format on

// Block ids, in the order of each block's slots.
constexpr int kStripCaptionIds[] = {1402, 1403, 1404, 1405};
constexpr int kWetIds[] = {3529, 3622, 3531};
constexpr int kDryIds[] = {3533, 3623, 3534};
constexpr int kHpfIds[] = {3537, 3538, 3620};
constexpr int kLpfIds[] = {3541, 3542, 3621};

constexpr EffectPageIds kIds{148,     kStripCaptionIds,   kWetIds,          kDryIds, kHpfIds,
                             kLpfIds, CRev_Dlg::kEqReset, CRev_Dlg::kEqPass};

}  // namespace

CRev_Dlg::CRev_Dlg(QWidget* parent, CEQCurveStatic* view)
    : CEffectPage(parent, view, kIds, kEqReverb, "Reverb") {
    m_binding.Add(kRows);
    RefreshFromParameters();
    ApplyLanguage();
}

}  // namespace qx
