#pragma once
// The curve set of one equaliser: its filters (the bands in band order, then H, then L), their
// summed response as the total curve, and the plot size everything is scaled to.

#include <array>
#include <memory>
#include <vector>

#include "Filter.h"

namespace qx {

class CKTVEQ {
  public:
    // Creates one filter per band record, numbered from 1, then H and L for the records given.
    // A set that was built before is emptied first.
    void BuildEq(int bandCount, EqBand* bands, PassFilter* highPass, PassFilter* lowPass);
    // Three dynamic bands, drawn through the first five bytes of each record; their drags
    // reach down to -12 dB.
    void BuildDynamicEq(DynamicEqBand* bands);

    // Attaches the existing filters to records again (after the image was replaced), which
    // re-reads and recomputes them. Records must match the build: same band count, H and L
    // given exactly when built with them.
    void AttachEq(EqBand* bands, PassFilter* highPass, PassFilter* lowPass);
    void AttachDynamicEq(DynamicEqBand* bands);

    // Sizes the set to a plot and lays out the total curve's x coordinates.
    void Resize(int width, int height);
    void Resize(const Rect& plot) { Resize(plot.Width(), plot.Height()); }
    // Adds the responses of all filters and sets the total curve's y coordinates.
    void SumCurve();
    // The summed response in dB at each display-grid point.
    std::array<double, kGridPoints> TotalResponse() const;

    CFilter* GetHighPass() const;
    CFilter* GetLowPass() const;
    CFilter* GetAt(int index) const;
    int GetSize() const { return static_cast<int>(m_filters.size()); }

    int BandCount() const { return m_bandCount; }
    int HighPassIndex() const { return m_highIndex; }
    int LowPassIndex() const { return m_lowIndex; }
    int PlotWidth() const { return m_width; }
    int PlotHeight() const { return m_height; }
    const std::array<PointF, kGridPoints>& TotalCurve() const { return m_total; }

  private:
    std::vector<std::unique_ptr<CFilter>> m_filters;
    std::array<PointF, kGridPoints> m_total{};
    int m_width = 0;
    int m_height = 0;
    int m_bandCount = 0;
    int m_highIndex = -1;
    int m_lowIndex = -1;
};

}  // namespace qx
