#pragma once
// A noise gate's controls: three rows (threshold, attack, release), each a caption, a value
// label and a slider, laid out as the limiter's rows. Placed with CFieldBinding::AddBlock, the
// prefix of the NoiseGate record ("Mic1.noiseGate") and nine ids: caption, label, slider per row.

#include "LimiterBlock.h"

namespace qx {

// clang-format off
inline constexpr ControlRow kNoiseGateBlock[] = {
    {0, ControlKind::Caption, DynamicsCaption(0), {"启动电平", "Threshold"}},
    {1, ControlKind::Label, DynamicsLabel(0), {}, "@.threshold"},
    {2, ControlKind::Slider, DynamicsSlider(0), {}, "@.threshold"},
    {3, ControlKind::Caption, DynamicsCaption(1), {"启动时间", "Attack Time"}},
    {4, ControlKind::Label, DynamicsLabel(1), {}, "@.attack"},
    {5, ControlKind::Slider, DynamicsSlider(1), {}, "@.attack"},
    {6, ControlKind::Caption, DynamicsCaption(2), {"释放时间", "Release Time"}},
    {7, ControlKind::Label, DynamicsLabel(2), {}, "@.release"},
    {8, ControlKind::Slider, DynamicsSlider(2), {}, "@.release"},
};
// clang-format on

}  // namespace qx
