#include "CurveGeometry.h"

#include <cmath>

namespace qx {

namespace {
const double kDecades = std::log10(30000.0) - 1.0;
}

double FreqToX(double hz, int width) {
    return (std::log10(hz) - 1.0) * width / kDecades;
}

double XToFreq(double x, int width) {
    if (width <= 0) {
        return 10.0;
    }
    return std::pow(10.0, kDecades * x / width + 1.0);
}

double DbToY(double db, int height) {
    return height / kDbSpan * (kTopDb - db);
}

double YToDb(double y, int height) {
    if (height <= 0) {
        return kTopDb;
    }
    return std::round(kTopDb - kDbSpan * y / height);
}

int Trunc(double v) {
    constexpr double kBound = 1e8;
    if (!(v > -kBound)) {  // also NaN
        return static_cast<int>(-kBound);
    }
    if (v > kBound) {
        return static_cast<int>(kBound);
    }
    return static_cast<int>(v);
}

}  // namespace qx
