#pragma once
// The 420 frequencies at which every response is drawn, and what evaluating a digital filter
// there needs (e^-jw and e^-j2w per point), computed once.

#include <array>

namespace qx {

constexpr int kGridPoints = 420;
constexpr int kGridCodeOffset = 35;  // grid point 35 + code is the frequency of that code
constexpr double kDisplayRate = 192000.0;

struct GridPoint {
    double hz;    // as drawn
    double cos1;  // cos(w), w from the frequency truncated to tenths of a hertz
    double sin1;
    double cos2;  // cos(2w)
    double sin2;
};

// The grid, ascending from 10 Hz to 32 kHz.
const std::array<GridPoint, kGridPoints>& DisplayGrid();

}  // namespace qx
