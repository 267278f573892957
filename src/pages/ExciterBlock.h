#pragma once
// An exciter's controls: its frequency as a typed number and a slider, then its harmonic and
// timbre lists ("0" .. "9"). Placed with CFieldBinding::AddBlock, the prefix of the Exciter
// record ("MusicLeft.lowExciter") and seven ids: frequency caption, frequency edit, frequency
// slider, harmonic caption, harmonic list, timbre caption, timbre list.

#include "LabelRules.h"
#include "PageTable.h"

namespace qx {

// clang-format off
inline constexpr ControlRow kExciterBlock[] = {
    {0, ControlKind::Caption, {0, 1, 40, 9}, {"频率", "Freq"}},
    {1, ControlKind::Edit, {42, 0, 40, 12}, {}, "@.freqCode", FrequencyEdit()},
    {2, ControlKind::Slider, {0, 14, 105, 10}, {}, "@.freqCode"},
    {3, ControlKind::Caption, {0, 28, 40, 9}, {"谐波量", "Harmonic"}},
    {4, ControlKind::Combo, {42, 27, 40, 12}, {}, "@.harmonic", Items(kExciterTexts)},
    {5, ControlKind::Caption, {0, 42, 40, 9}, {"音品", "Timbre"}},
    {6, ControlKind::Combo, {42, 41, 40, 12}, {}, "@.timbre", Items(kExciterTexts)},
};
// clang-format on

}  // namespace qx
