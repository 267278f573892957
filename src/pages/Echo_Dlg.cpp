#include "Echo_Dlg.h"

#include "PageGlobals.h"
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
    {3500, Caption, {kA, 8, 76, 9}, {"回声音量", "Echo Wet Volume"}},
    {3503, Caption, {kA, 36, 76, 9}, {"回声直达声", "Echo Dry Volume"}},
    {3507, Caption, {kA, 66, 100, 9}, {"回声高通", "Echo HPF"}},
    {3510, Caption, {kA, 107, 100, 9}, {"回声低通", "Echo LPF"}},
    // Delays move in steps of 1 ms (pre-delay) and 2 ms (delay); the codes are 0.1 ms.
    {3513, Caption, {kB, 8, 76, 9}, {"回声预延时", "Echo PreDelay"}},
    {3514, Label, {kLabelX, 8, 40, 9}, {}, "{fx}.preDelay", Stepped(10, Shown(LabelRule::L20, 1, 0, "ms"))},
    {3604, Slider, {kB, 18, 105, 10}, {}, "{fx}.preDelay", Stepped(10), 0, 150},
    {3522, Caption, {kB, 8 + kPitch, 76, 9}, {"回声延时", "Echo Delay"}},
    {3523, Label, {kLabelX, 8 + kPitch, 40, 9}, {}, "{fx}.delay", Stepped(20, Shown(LabelRule::L20, 2, 0, "ms"))},
    {3607, Slider, {kB, 18 + kPitch, 105, 10}, {}, "{fx}.delay", Stepped(20), 0, 250},
    {3519, Caption, {kB, 8 + 2 * kPitch, 76, 9}, {"回声重复比例", "Echo Repeat"}},
    {3520, Label, {kLabelX, 8 + 2 * kPitch, 40, 9}, {}, "{fx}.repeat"},
    {3606, Slider, {kB, 18 + 2 * kPitch, 105, 10}, {}, "{fx}.repeat", {}, 0, 90},
    {3516, Caption, {kB, 8 + 3 * kPitch, 76, 9}, {"右通道预延时", "Echo Right PreDelay"}},
    {3517, Label, {kLabelX, 8 + 3 * kPitch, 40, 9}, {}, "{fx}.rightPreDelay"},
    {3605, Slider, {kB, 18 + 3 * kPitch, 105, 10}, {}, "{fx}.rightPreDelay", {}, 0, 50},
    {3525, Caption, {kB, 8 + 4 * kPitch, 76, 9}, {"右通道延时", "Echo Right Delay"}},
    {3526, Label, {kLabelX, 8 + 4 * kPitch, 40, 9}, {}, "{fx}.rightDelay"},
    {3608, Slider, {kB, 18 + 4 * kPitch, 105, 10}, {}, "{fx}.rightDelay", {}, 0, 100},
    {3550, Button, {kB, 148, 50, 14}, {"EQ重置", "EQ Reset"}},
    {3551, Toggle, {kB + 55, 148, 50, 14}, {"EQ pass", "EQ pass"}, "{fx}.eqBypass"},
};
// clang-format on

// Block ids, in the order of each block's slots.
constexpr int kStripCaptionIds[] = {1398, 1399, 1400, 1401};
constexpr int kWetIds[] = {3501, 3600, 1064};
constexpr int kDryIds[] = {3504, 3601, 1065};
constexpr int kHpfIds[] = {1025, 3508, 3602};
constexpr int kLpfIds[] = {3506, 3511, 3603};

constexpr EffectPageIds kIds{147,     kStripCaptionIds,    kWetIds,           kDryIds, kHpfIds,
                             kLpfIds, CEcho_Dlg::kEqReset, CEcho_Dlg::kEqPass};

int EchoShown() {
    return selectedEffect == kEqEchoB ? kEqEchoB : kEqEchoA;
}

const char* BlockOf(int eqNumber) {
    return eqNumber == kEqEchoB ? "EchoB" : "EchoA";
}

}  // namespace

CEcho_Dlg::CEcho_Dlg(QWidget* parent, CEQCurveStatic* view)
    : CEffectPage(parent, view, kIds, EchoShown(), BlockOf(EchoShown())) {
    m_binding.Add(kRows);
    RefreshFromParameters();
    ApplyLanguage();
}

void CEcho_Dlg::SelectEcho(int eqNumber) {
    Rebind(eqNumber, BlockOf(eqNumber));
}

}  // namespace qx
