#include "RoomCurve.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace qx {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTiltPivotHz = 1000.0;

// Log-frequency interpolation at hz between the points around it; hz inside the range.
double Interpolate(const Measurement& m, double hz) {
    const auto it = std::lower_bound(m.hz.begin(), m.hz.end(), hz);
    const std::size_t i = static_cast<std::size_t>(it - m.hz.begin());
    if (i == 0) {
        return m.db.front();
    }
    if (i >= m.Size()) {
        return m.db.back();
    }
    const double l0 = std::log(m.hz[i - 1]);
    const double l1 = std::log(m.hz[i]);
    const double t = (std::log(hz) - l0) / (l1 - l0);
    return m.db[i - 1] + t * (m.db[i] - m.db[i - 1]);
}

}  // namespace

double CRoomCurve::LevelAt(const Measurement& points, double hz) {
    if (points.Empty()) {
        return 0.0;
    }
    if (hz <= points.hz.front()) {
        return points.db.front();
    }
    if (hz >= points.hz.back()) {
        return points.db.back();
    }
    return Interpolate(points, hz);
}

GridCurve CRoomCurve::FromMeasurement(const Measurement& m, int smoothingN) {
    GridCurve out;
    out.fill(kNaN);
    if (m.Size() < 2) {
        return out;
    }
    const auto& grid = DisplayGrid();
    // Prefix sums of the levels, so that every window's mean costs two binary searches.
    std::vector<double> sum(m.Size() + 1, 0.0);
    for (std::size_t i = 0; i < m.Size(); ++i) {
        sum[i + 1] = sum[i] + m.db[i];
    }
    const double halfWidth = smoothingN > 0 ? std::pow(2.0, 0.5 / smoothingN) : 1.0;
    for (int g = 0; g < kGridPoints; ++g) {
        const double hz = grid[g].hz;
        if (hz < m.hz.front() || hz > m.hz.back()) {
            continue;
        }
        double level = Interpolate(m, hz);
        if (smoothingN > 0) {
            const auto first = std::lower_bound(m.hz.begin(), m.hz.end(), hz / halfWidth);
            const auto last = std::upper_bound(m.hz.begin(), m.hz.end(), hz * halfWidth);
            const auto a = static_cast<std::size_t>(first - m.hz.begin());
            const auto b = static_cast<std::size_t>(last - m.hz.begin());
            // A window with fewer points than two keeps the interpolated level: sparse data
            // is not smoothed into steps.
            if (b > a + 1) {
                level = (sum[b] - sum[a]) / static_cast<double>(b - a);
            }
        }
        out[g] = level;
    }
    return out;
}

GridCurve CRoomCurve::FromHouseCurve(const Measurement& points) {
    GridCurve out;
    const auto& grid = DisplayGrid();
    for (int g = 0; g < kGridPoints; ++g) {
        out[g] = LevelAt(points, grid[g].hz);
    }
    return out;
}

double CRoomCurve::CentreLevel(const GridCurve& curve) {
    const auto& grid = DisplayGrid();
    double sum = 0.0;
    int count = 0;
    for (int g = 0; g < kGridPoints; ++g) {
        if (HasLevel(curve[g]) && grid[g].hz >= 20.0 && grid[g].hz <= 20000.0) {
            sum += curve[g];
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

double RoomTarget::LevelAt(double hz) const {
    switch (kind) {
        case Kind::House:
            return CRoomCurve::LevelAt(house, hz);
        case Kind::Parametric: {
            // A second-order-like shelf: the full level far below the corner, half at it.
            const double r = hz / std::max(bassCornerHz, 1.0);
            double db = bassDb / (1.0 + r * r);
            if (hz > kTiltPivotHz) {
                db += trebleTiltDbPerDecade * std::log10(hz / kTiltPivotHz);
            }
            return db;
        }
        case Kind::Flat:
        default:
            return 0.0;
    }
}

GridCurve RoomTarget::OnGrid() const {
    GridCurve out;
    const auto& grid = DisplayGrid();
    for (int g = 0; g < kGridPoints; ++g) {
        out[g] = LevelAt(grid[g].hz);
    }
    return out;
}

}  // namespace qx
