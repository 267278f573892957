#include "FitSpace.h"

#include <cmath>

#include "DataConver.h"

namespace qx {

CFitSpace::CFitSpace(const FitInput& input, const FitOptions& options) {
    const auto& grid = DisplayGrid();
    int first = -1;
    int last = -1;
    for (int g = 0; g < kGridPoints; ++g) {
        if (grid[g].hz >= options.lowHz && grid[g].hz <= options.highHz &&
            HasLevel(input.measurement[g]) && HasLevel(input.target[g])) {
            first = first < 0 ? g : first;
            last = g;
        }
    }
    if (first < 0) {
        return;
    }
    m_first = first;
    // The bands kept as they are belong to what stays.
    std::vector<double> kept(static_cast<std::size_t>(last - first + 1), 0.0);
    std::vector<double> one(kept.size());
    for (std::size_t b = 0; b < input.current.size(); ++b) {
        const FitBand& band = input.current[b];
        if (options.keepBands && band.type != kTypeBypass) {
            Response(band, one.data());
            for (std::size_t i = 0; i < kept.size(); ++i) {
                kept[i] += one[i];
            }
        }
    }
    for (int g = first; g <= last; ++g) {
        const bool measured = HasLevel(input.measurement[g]) && HasLevel(input.target[g]);
        const std::size_t i = static_cast<std::size_t>(g - first);
        m_base.push_back(
            measured ? input.measurement[g] + input.fixed[g] + kept[i] - input.target[g] : 0.0);
        m_weight.push_back(measured ? 1.0 : 0.0);
        m_weightSum += m_weight.back();
    }
}

void CFitSpace::Response(int type, double hz, double gainDb, double q, double* out) const {
    BandResponseDbRange(type, hz, gainDb, q, m_first, m_first + Count(), out);
}

void CFitSpace::Response(const FitBand& band, double* out) const {
    Response(band.type, CodeToFreq(band.freqCode), CodeToGain(band.gainCode), CodeToQ(band.qCode),
             out);
}

double CFitSpace::Cost(const double* sum) const {
    double s = 0.0;
    double s2 = 0.0;
    for (int i = 0; i < Count(); ++i) {
        const double v = (m_base[i] + sum[i]) * m_weight[i];
        s += v;
        s2 += v * v;
    }
    const double mean = s / m_weightSum;
    return std::max(s2 / m_weightSum - mean * mean, 0.0);
}

double CFitSpace::CostReplacing(const double* sum, const double* old, const double* now) const {
    double s = 0.0;
    double s2 = 0.0;
    for (int i = 0; i < Count(); ++i) {
        const double v = (m_base[i] + sum[i] - old[i] + now[i]) * m_weight[i];
        s += v;
        s2 += v * v;
    }
    const double mean = s / m_weightSum;
    return std::max(s2 / m_weightSum - mean * mean, 0.0);
}

std::vector<double> CFitSpace::Residual(const double* sum) const {
    double s = 0.0;
    for (int i = 0; i < Count(); ++i) {
        s += (m_base[i] + sum[i]) * m_weight[i];
    }
    const double mean = s / m_weightSum;
    std::vector<double> r(static_cast<std::size_t>(Count()), 0.0);
    for (int i = 0; i < Count(); ++i) {
        r[i] = m_weight[i] > 0.0 ? m_base[i] + sum[i] - mean : 0.0;
    }
    return r;
}

FitError CFitSpace::Error(const double* sum) const {
    FitError e;
    if (!Usable()) {
        return e;
    }
    const std::vector<double> r = Residual(sum);
    double s2 = 0.0;
    for (int i = 0; i < Count(); ++i) {
        s2 += r[i] * r[i];
        if (m_weight[i] > 0.0 && std::fabs(r[i]) > std::fabs(e.worstDb)) {
            e.worstDb = r[i];
            e.worstHz = DisplayGrid()[m_first + i].hz;
        }
    }
    e.points = static_cast<int>(m_weightSum);
    e.rmsDb = std::sqrt(s2 / m_weightSum);
    return e;
}

}  // namespace qx
