#include "DisplayGrid.h"

#include <cmath>
#include <numbers>

#include "DataConver.h"

namespace qx {

namespace {

constexpr double kBelowTable[kGridCodeOffset] = {
    10.0, 10.2, 10.4, 10.6, 10.8, 11.0, 11.3, 11.5, 11.7, 11.9, 12.2, 12.4,
    12.6, 12.9, 13.1, 13.4, 13.7, 13.9, 14.2, 14.5, 14.7, 15.0, 15.3, 15.6,
    15.9, 16.2, 16.6, 16.9, 17.2, 17.5, 17.9, 18.2, 18.6, 18.9, 19.3,
};
constexpr int kAboveCount = kGridPoints - kGridCodeOffset - kFreqCodes;
constexpr double kAboveTable[kAboveCount] = {
    21000, 21400, 21800, 22200, 22600, 23100, 23500, 24000, 24400, 24900, 25400, 25900,
    26400, 26900, 27400, 28000, 28500, 29100, 29600, 30200, 30800, 31400, 32000,
};
static_assert(kAboveCount == 23);

std::array<GridPoint, kGridPoints> Build() {
    std::array<GridPoint, kGridPoints> g{};
    for (int i = 0; i < kGridPoints; ++i) {
        double hz;
        if (i < kGridCodeOffset) {
            hz = kBelowTable[i];
        } else if (i < kGridCodeOffset + kFreqCodes) {
            hz = kFreqTable[i - kGridCodeOffset];
        } else {
            hz = kAboveTable[i - kGridCodeOffset - kFreqCodes];
        }
        // The filters are evaluated at the frequency in whole tenths of a hertz.
        const double tenths = std::trunc(hz * 10.0);
        const double w = tenths * 2.0 * std::numbers::pi / (kDisplayRate * 10.0);
        g[i] = {hz, std::cos(w), std::sin(w), std::cos(2.0 * w), std::sin(2.0 * w)};
    }
    return g;
}

}  // namespace

const std::array<GridPoint, kGridPoints>& DisplayGrid() {
    static const std::array<GridPoint, kGridPoints> grid = Build();
    return grid;
}

}  // namespace qx
