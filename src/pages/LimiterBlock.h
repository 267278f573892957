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

// attack: the attack row's caption, which differs between pages; level: the field of the first
// row (a dynamic EQ band's "@.threshold"). The labels show their fields as the catalogue does:
// "dBV" on the music and microphone limiters, "dB" on the outputs.
constexpr std::array<ControlRow, 12> LimiterBlock(TextPair attack = {"压限启动时间(Atk)",
                                                                     "Attack Time(Atk)"},
                                                  const char* level = "@.level") {
    using enum ControlKind;
    // clang-format off
    return {{
        {0, Caption, DynamicsCaption(0), {"压限启动电平", "Limit Level"}},
        {1, Label, DynamicsLabel(0), {}, level},
        {2, Slider, DynamicsSlider(0), {}, level},
        {3, Caption, DynamicsCaption(1), attack},
        {4, Label, DynamicsLabel(1), {}, "@.attack"},
        {5, Slider, DynamicsSlider(1), {}, "@.attack"},
        {6, Caption, DynamicsCaption(2), {"压限释放时间", "Release Time"}},
        {7, Label, DynamicsLabel(2), {}, "@.release"},
        {8, Slider, DynamicsSlider(2), {}, "@.release"},
        {9, Caption, DynamicsCaption(3), {"压缩比例", "Ratio"}},
        {10, Label, DynamicsLabel(3), {}, "@.ratio"},
        {11, Slider, DynamicsSlider(3), {}, "@.ratio"},
    }};
    // clang-format on
}

}  // namespace qx
