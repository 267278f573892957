#pragma once
// A limiter's controls: four rows (threshold, attack, release, ratio), each a caption, a value
// label and a slider under them. Placed with CFieldBinding::AddBlock, the prefix of the
// Limiter record ("MusicLeft.limiter") and twelve ids, row by row: caption, label, slider.

#include <array>

#include "PageTable.h"

namespace qx {

// Row pitch and sizes shared by the dynamics blocks (limiter, noise gate).
inline constexpr int kDynamicsPitch = 22;
inline constexpr DuRect DynamicsCaption(int row) {
    return {0, kDynamicsPitch * row, 72, 9};
}
inline constexpr DuRect DynamicsLabel(int row) {
    return {72, kDynamicsPitch * row, 40, 9};
}
inline constexpr DuRect DynamicsSlider(int row) {
    return {0, kDynamicsPitch * row + 10, 105, 10};
}

// unit: "dBV" for the music and microphone limiters, "dB" for the outputs; attack: the attack
// row's caption, which differs between pages; level: the field of the first row and the offset
// its label subtracts (a dynamic EQ band's "@.threshold" reads code - 48).
constexpr std::array<ControlRow, 12> LimiterBlock(
    const char* unit = "dBV", TextPair attack = {"压限启动时间(Atk)", "Attack Time(Atk)"},
    const char* level = "@.level", int levelOffset = 22) {
    using enum ControlKind;
    return {{
        {0, Caption, DynamicsCaption(0), {"压限启动电平", "Limit Level"}},
        {1, Label, DynamicsLabel(0), {}, level, Shown(LabelRule::L20, 1, levelOffset, unit)},
        {2, Slider, DynamicsSlider(0), {}, level},
        {3, Caption, DynamicsCaption(1), attack},
        {4, Label, DynamicsLabel(1), {}, "@.attack", Shown(LabelRule::T5, 1, 0, "ms")},
        {5, Slider, DynamicsSlider(1), {}, "@.attack"},
        {6, Caption, DynamicsCaption(2), {"压限释放时间", "Release Time"}},
        {7, Label, DynamicsLabel(2), {}, "@.release", Shown(LabelRule::T6)},
        {8, Slider, DynamicsSlider(2), {}, "@.release"},
        {9, Caption, DynamicsCaption(3), {"压缩比例", "Ratio"}},
        {10, Label, DynamicsLabel(3), {}, "@.ratio", Shown(LabelRule::T12)},
        {11, Slider, DynamicsSlider(3), {}, "@.ratio"},
    }};
}

}  // namespace qx
