#pragma once
// One element of an equaliser as the curve view shows it: a parametric band, or the high-pass
// (H) or low-pass (L) filter in front of the equaliser. A filter is attached to its record in
// the parameter image; every setter writes the new code straight into that record (so the
// change synchroniser sends it) and recomputes the response on the display grid and the view
// geometry at once.

#include <array>
#include <string>

#include "CurveGeometry.h"
#include "DisplayGrid.h"
#include "EqRecords.h"
#include "LinkedSlider.h"

namespace qx {

// Element types; 0..3 are also the values of a band record's type byte.
constexpr int kTypeBypass = 0;
constexpr int kTypePeaking = 1;
constexpr int kTypeLowShelf = 2;
constexpr int kTypeHighShelf = 3;
constexpr int kTypeHighPass = 4;
constexpr int kTypeLowPass = 5;

constexpr int kMaxSlopeCode = 12;
constexpr int kCurvePoints = kGridPoints + 2;
constexpr int kHandleSize = 16;

class CFilter {
  public:
    using Response = std::array<double, kGridPoints>;

    // Records. The pointers are not owned; the records live in the parameter image.
    void AttachBand(EqBand* band);
    void AttachPassFilter(PassFilter* pass);
    EqBand* BandRecord() const { return m_band; }
    PassFilter* PassRecord() const { return m_pass; }

    // Setters: each writes its record (codes outside their range are held at the nearest end)
    // and recomputes.
    void SetType(int type);
    void SetFreqCode(int code);
    void SetPassFreqCode(int code);
    void SetGainCode(int code);
    void SetQCode(int code);
    void SetSlopeCode(int code);
    void SetNumber(int n);

    int GetType() const { return m_type; }
    int GetFreqCode() const;
    int GetGainCode() const;
    double GetGainDb() const;
    double GetQ();
    double GetFreq();
    int GetSlopeCode() const { return m_slope; }
    int GetNumber() const { return m_number; }
    const std::string& GetNumberText() const { return m_numberText; }

    // Recomputes the response by type, then the handle, the label rectangle and the curve.
    void Recalc();
    const Response& GetResponse() const { return m_response; }

    // 1 for the dynamic-EQ bands: a drag reaches down to -12 dB instead of -24 dB.
    void SetGainLimit(int flag) { m_gainLimit = flag; }
    int GetGainLimit() const { return m_gainLimit; }
    // The pass-filter frequency codes a drag may reach (0 and 361 unless set).
    void SetPassCodeLimits(int lowest, int highest);

    // View geometry.
    void SetPlot(int width, int height);
    void SetPlot(const Rect& plot) { SetPlot(plot.Width(), plot.Height()); }
    int PlotWidth() const { return m_width; }
    int PlotHeight() const { return m_height; }
    const std::array<Point, kCurvePoints>& CurvePoints() const { return m_curve; }
    const Rect& Handle() const { return m_handle; }
    const Rect& LabelRect() const { return m_labelRect; }
    const std::string& LabelText() const { return m_labelText; }
    // Builds, stores and returns the information line of the element.
    const std::string& GetLabel();

    // The slider that follows the band's gain during a drag (not owned, may be null).
    void SetLinkedSlider(ILinkedSlider* slider) { m_slider = slider; }
    ILinkedSlider* LinkedSlider() const { return m_slider; }

    // Drag steps; pointers are in view coordinates. Each returns non-zero when the step
    // counts as a change.
    void BeginDrag(Point pointer);
    void MarkQStart();
    int DragBand(Point pointer);
    int DragQ(int pointerX);
    int DragPassFilter(Point pointer);
    Point DragOffset() const { return m_dragOffset; }

    // Drag state kept for the curve view.
    bool hover = false;  // the pointer has been over the handle since the last release
    bool leftDrag = false;
    bool rightDrag = false;

    bool IsBand() const { return m_type != kTypeHighPass && m_type != kTypeLowPass; }

  private:
    void WriteQCode(int code);
    void WriteGainCode(int code);
    void ComputeBand();
    void ComputePass();
    void UpdateHandle();
    void UpdateCurveY();

    Response m_response{};
    EqBand* m_band = nullptr;
    PassFilter* m_pass = nullptr;
    int m_gainLimit = 0;
    int m_type = kTypePeaking;
    double m_freq = 20.0;
    double m_gain = 0.0;
    double m_q = 0.3;
    int m_slope = 0;
    int m_width = 0;
    int m_height = 0;
    int m_lowestPassCode = 0;
    int m_highestPassCode = 361;
    int m_number = -1;
    std::string m_numberText;
    int m_qStart = 0;

    Point m_dragOffset;
    Rect m_handle;
    ILinkedSlider* m_slider = nullptr;
    std::array<Point, kCurvePoints> m_curve{};
    Rect m_labelRect;
    std::string m_labelText;
};

// Responses in dB on the display grid for free values rather than codes: a band of type 1..3
// and one second-order pass-filter section. They let a filter asked for in hertz, decibels
// and Q be compared with what the nearest codes give.
CFilter::Response BandResponseDb(int type, double hz, double gainDb, double q);
CFilter::Response PassSectionResponseDb(bool highPass, double hz, double q);
// The response of a band of type 0..3 on the grid points first..last-1 only, into
// out[0..last-first): the same computation as the curve's, for searches that try many bands.
void BandResponseDbRange(int type, double hz, double gainDb, double q, int first, int last,
                         double* out);

}  // namespace qx
