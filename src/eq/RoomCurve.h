#pragma once
// A room's measured response and its target, brought onto the display grid the equaliser's
// own curve is computed on, so that measurement, equaliser and target add point by point.

#include <array>
#include <cmath>

#include "DisplayGrid.h"
#include "Measurement.h"

namespace qx {

// Levels in dB per grid point; NaN where the curve has no value (outside the measured range).
using GridCurve = std::array<double, kGridPoints>;

// Fractional-octave smoothing: 0 none, else 1/N octave for N of 1, 2, 3, 6, 12, 24, 48.
constexpr int kSmoothingChoices[] = {0, 1, 2, 3, 6, 12, 24, 48};

class CRoomCurve {
  public:
    // The measurement on the grid: interpolated on a log-frequency axis and, with a smoothing
    // of 1/N octave, averaged in dB over the 1/N octave around each grid point. Grid points
    // outside the measured frequencies are NaN.
    static GridCurve FromMeasurement(const Measurement& m, int smoothingN);
    // A house curve on the grid: interpolated on a log-frequency axis, its end levels held
    // beyond its ends.
    static GridCurve FromHouseCurve(const Measurement& points);
    // A level at one frequency of a curve with rising frequencies, log-frequency interpolated
    // and held beyond the ends.
    static double LevelAt(const Measurement& points, double hz);

    // The level that puts the curve's middle at 0 dB on the view: the mean of its finite
    // points between 20 Hz and 20 kHz (0 when it has none).
    static double CentreLevel(const GridCurve& curve);
};

// The response a room should have.
struct RoomTarget {
    enum class Kind { Flat, House, Parametric };
    Kind kind = Kind::Flat;
    Measurement house;                   // Kind::House: frequency and dB points
    double bassDb = 0.0;                 // Kind::Parametric: level added well below the corner
    double bassCornerHz = 100.0;         // where the shelf is at half its level
    double trebleTiltDbPerDecade = 0.0;  // above 1 kHz, e.g. -1 for a gentle roll-off

    double LevelAt(double hz) const;
    GridCurve OnGrid() const;
};

inline bool HasLevel(double db) {
    return !std::isnan(db);
}

}  // namespace qx
