#pragma once
// Plain geometry of the curve view and the mapping between the plot and frequency and gain.
//
// The plot shows 10 Hz .. 30 kHz on a logarithmic axis and +12 dB .. -24 dB from top to
// bottom. Plot coordinates are measured from the plot's top-left corner; view coordinates add
// (kPlotLeft, kPlotTop).

namespace qx {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct PointF {
    float x = 0;
    float y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Point Center() const { return {(left + right) / 2, (top + bottom) / 2}; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

constexpr int kPlotLeft = 35;
constexpr int kPlotTop = 10;
constexpr double kTopDb = 12.0;
constexpr double kBottomDb = -24.0;
constexpr double kDbSpan = kTopDb - kBottomDb;

// x of a frequency on a plot of the given width: 10 Hz at 0, 30 kHz at the width.
double FreqToX(double hz, int width);
// The frequency at x, the inverse of FreqToX; 10 Hz on a plot without width.
double XToFreq(double x, int width);
// y of a level on a plot of the given height: +12 dB at 0, -24 dB at the height.
double DbToY(double db, int height);
// The level at y, rounded to a whole decibel (halves away from zero); +12 dB on a plot
// without height.
double YToDb(double y, int height);

// The integer part of a coordinate, toward zero; values far off the plot are held at a
// large bound so the conversion stays defined.
int Trunc(double v);

}  // namespace qx
