#pragma once
// The working space of a room fit: the grid points inside the fit's range, what stays fixed
// there (measurement, kept filters, target), and the sum of the bands being fitted, so that
// trying one band costs one band's response and one pass over the points.

#include <vector>

#include "RoomFit.h"

namespace qx {

class CFitSpace {
  public:
    CFitSpace(const FitInput& input, const FitOptions& options);

    // False when the range holds no measured point.
    bool Usable() const { return m_weightSum > 0.0; }
    int First() const { return m_first; }
    int Count() const { return static_cast<int>(m_base.size()); }
    const std::vector<double>& Base() const { return m_base; }
    bool Weighted(int i) const { return m_weight[i] > 0.0; }

    // The response of a band (free values) over the points.
    void Response(int type, double hz, double gainDb, double q, double* out) const;
    void Response(const FitBand& band, double* out) const;

    // The variance over the range of base + sum: the squared RMS deviation with the target's
    // level matched. `sum` holds Count() values.
    double Cost(const double* sum) const;
    // The same with one band's response `old` replaced by `now` in sum.
    double CostReplacing(const double* sum, const double* old, const double* now) const;
    // base + sum minus its mean, per point (0 outside the measured points).
    std::vector<double> Residual(const double* sum) const;
    // RMS, worst deviation and its frequency of base + sum.
    FitError Error(const double* sum) const;

  private:
    int m_first = 0;
    std::vector<double> m_base;
    std::vector<double> m_weight;
    double m_weightSum = 0.0;
};

}  // namespace qx
