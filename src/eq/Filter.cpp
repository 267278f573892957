#include "Filter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "DataConver.h"
#include "LabelRules.h"
#include "RecordWrites.h"

namespace qx {

namespace {

constexpr double kPi = std::numbers::pi;
// A floor for squared magnitudes, so an exact zero of a filter shows as a very deep notch
// instead of minus infinity.
constexpr double kMinPower = 1e-300;

// Normalised biquad (a0 = 1).
struct Biquad {
    double b0, b1, b2, a1, a2;
};

// |H|^2 of a section at one grid point.
inline double Power(const Biquad& c, const GridPoint& g) {
    const double nRe = c.b0 + c.b1 * g.cos1 + c.b2 * g.cos2;
    const double nIm = -(c.b1 * g.sin1 + c.b2 * g.sin2);
    const double dRe = 1.0 + c.a1 * g.cos1 + c.a2 * g.cos2;
    const double dIm = -(c.a1 * g.sin1 + c.a2 * g.sin2);
    return (nRe * nRe + nIm * nIm) / (dRe * dRe + dIm * dIm);
}

inline double PowerToDb(double p) {
    return 10.0 * std::log10(std::max(p, kMinPower));
}

Biquad Normalise(double b0, double b1, double b2, double a0, double a1, double a2) {
    return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

Biquad BandBiquad(int type, double f, double g, double q) {
    const double w0 = 2.0 * kPi * f / kDisplayRate;
    const double A = std::pow(10.0, g / 40.0);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double cs = std::cos(w0);
    const double sq = 2.0 * std::sqrt(A) * alpha;
    switch (type) {
        case kTypeLowShelf:
            return Normalise(A * ((A + 1) - (A - 1) * cs + sq), 2 * A * ((A - 1) - (A + 1) * cs),
                             A * ((A + 1) - (A - 1) * cs - sq), (A + 1) + (A - 1) * cs + sq,
                             -2 * ((A - 1) + (A + 1) * cs), (A + 1) + (A - 1) * cs - sq);
        case kTypeHighShelf:
            return Normalise(A * ((A + 1) + (A - 1) * cs + sq), -2 * A * ((A - 1) + (A + 1) * cs),
                             A * ((A + 1) + (A - 1) * cs - sq), (A + 1) - (A - 1) * cs + sq,
                             2 * ((A - 1) - (A + 1) * cs), (A + 1) - (A - 1) * cs - sq);
        default:  // peaking
            return Normalise(1 + alpha * A, -2 * cs, 1 - alpha * A, 1 + alpha / A, -2 * cs,
                             1 - alpha / A);
    }
}

Biquad PassBiquad(bool highPass, double f, double q) {
    const double w0 = 2.0 * kPi * f / kDisplayRate;
    const double alpha = std::sin(w0) / (2.0 * q);
    const double cs = std::cos(w0);
    if (highPass) {
        return Normalise((1 + cs) / 2, -(1 + cs), (1 + cs) / 2, 1 + alpha, -2 * cs, 1 - alpha);
    }
    return Normalise((1 - cs) / 2, 1 - cs, (1 - cs) / 2, 1 + alpha, -2 * cs, 1 - alpha);
}

// First-order section by the bilinear transform, prewarped at f.
Biquad PassFirstOrder(bool highPass, double f) {
    const double omega = 2.0 * kPi * f;
    const double k = omega / std::tan(kPi * f / kDisplayRate);
    const double a1 = (omega - k) / (omega + k);
    if (highPass) {
        return {k / (omega + k), -k / (omega + k), 0.0, a1, 0.0};
    }
    return {omega / (omega + k), omega / (omega + k), 0.0, a1, 0.0};
}

// The cascade of each slope code: Q of its second-order sections and whether a first-order
// section follows. Families Bessel, Butterworth and Linkwitz-Riley of orders 1 to 6.
struct Cascade {
    int sections;
    double q[3];
    bool firstOrder;
};
constexpr Cascade kCascades[kMaxSlopeCode + 1] = {
    {0, {}, false},                        // ByPass
    {0, {}, true},                         // 6 dB/oct
    {1, {0.5773}, false},                  // 12 dB Bessel
    {1, {0.7071}, false},                  // 12 dB Butterworth
    {1, {0.5}, false},                     // 12 dB Linkwitz-Riley
    {1, {0.691}, true},                    // 18 dB Bessel
    {1, {1.0}, true},                      // 18 dB Butterworth
    {2, {0.5219, 0.8055}, false},          // 24 dB Bessel
    {2, {0.5412, 1.3065}, false},          // 24 dB Butterworth
    {2, {0.71, 0.71}, false},              // 24 dB Linkwitz-Riley
    {3, {0.5103, 0.6112, 1.0234}, false},  // 36 dB Bessel
    {3, {0.5177, 0.7071, 1.932}, false},   // 36 dB Butterworth
    {3, {0.5, 1.0, 1.0}, false},           // 36 dB Linkwitz-Riley
};

CFilter::Response SectionResponseDb(const Biquad& c) {
    CFilter::Response r{};
    const auto& grid = DisplayGrid();
    for (int i = 0; i < kGridPoints; ++i) {
        r[i] = PowerToDb(Power(c, grid[i]));
    }
    return r;
}

}  // namespace

CFilter::Response BandResponseDb(int type, double hz, double gainDb, double q) {
    return SectionResponseDb(BandBiquad(type, hz, gainDb, q));
}

void BandResponseDbRange(int type, double hz, double gainDb, double q, int first, int last,
                         double* out) {
    first = std::max(first, 0);
    last = std::min(last, kGridPoints);
    if (type == kTypeBypass) {
        std::fill(out, out + std::max(last - first, 0), 0.0);
        return;
    }
    const Biquad c = BandBiquad(type, hz, gainDb, q);
    const auto& grid = DisplayGrid();
    for (int i = first; i < last; ++i) {
        out[i - first] = PowerToDb(Power(c, grid[i]));
    }
}

CFilter::Response PassSectionResponseDb(bool highPass, double hz, double q) {
    return SectionResponseDb(PassBiquad(highPass, hz, q));
}

void CFilter::AttachBand(EqBand* band) {
    m_band = band;
    if (band == nullptr) {
        return;
    }
    m_freq = CodeToFreq(band->freqCode);
    WriteQCode(band->qCode);
    WriteGainCode(band->gainCode);
    m_type = band->type;
    Recalc();
}

void CFilter::AttachPassFilter(PassFilter* pass) {
    m_pass = pass;
    if (pass == nullptr) {
        return;
    }
    m_freq = CodeToFreq(pass->freqCode);
    m_slope = pass->slope;
    Recalc();
}

void CFilter::SetType(int type) {
    m_type = type;
    // assign(count, char): assigning a one-letter literal makes GCC 12 warn falsely
    // (-Wrestrict) once it is inlined.
    if (type == kTypeHighPass) {
        m_numberText.assign(1, 'H');
    } else if (type == kTypeLowPass) {
        m_numberText.assign(1, 'L');
    }
    if (m_band != nullptr) {
        WriteRecordField(m_band->type, static_cast<uint8_t>(type));
        Recalc();
    }
}

void CFilter::SetFreqCode(int code) {
    code = std::clamp(code, 0, kMaxFreqCode);
    m_freq = CodeToFreq(code);
    if (m_band != nullptr) {
        WriteRecordField(m_band->freqCode, static_cast<uint16_t>(code));
    }
    Recalc();
}

void CFilter::SetPassFreqCode(int code) {
    code = std::clamp(code, 0, kMaxFreqCode);
    m_freq = CodeToFreq(code);
    if (m_pass != nullptr) {
        WriteRecordField(m_pass->freqCode, static_cast<uint16_t>(code));
    }
    Recalc();
}

void CFilter::WriteGainCode(int code) {
    code = std::clamp(code, 0, kMaxGainCode);
    // Attaching writes the code it read back: only a code held at its range is news.
    if (m_band != nullptr && m_band->gainCode != code) {
        WriteRecordField(m_band->gainCode, static_cast<uint8_t>(code));
    }
    m_gain = CodeToGain(code);
}

void CFilter::SetGainCode(int code) {
    WriteGainCode(code);
    Recalc();
}

void CFilter::WriteQCode(int code) {
    code = std::clamp(code, 0, kMaxQCode);
    m_q = CodeToQ(code);
    if (m_type >= kTypeBypass && m_type <= kTypeHighShelf && m_band != nullptr &&
        m_band->qCode != code) {
        WriteRecordField(m_band->qCode, static_cast<uint8_t>(code));
    }
}

void CFilter::SetQCode(int code) {
    WriteQCode(code);
    Recalc();
}

void CFilter::SetSlopeCode(int code) {
    code = std::clamp(code, 0, kMaxSlopeCode);
    m_slope = code;
    if (m_pass != nullptr) {
        WriteRecordField(m_pass->slope, static_cast<uint8_t>(code));
    }
    Recalc();
}

void CFilter::SetNumber(int n) {
    m_number = n;
    m_numberText = std::to_string(n);
}

void CFilter::SetPassCodeLimits(int lowest, int highest) {
    m_lowestPassCode = std::clamp(lowest, 0, kMaxFreqCode);
    m_highestPassCode = std::clamp(highest, m_lowestPassCode, kMaxFreqCode);
}

int CFilter::GetFreqCode() const {
    if (IsBand()) {
        return m_band != nullptr ? m_band->freqCode : 0;
    }
    return m_pass != nullptr ? m_pass->freqCode : 0;
}

int CFilter::GetGainCode() const {
    return m_band != nullptr ? m_band->gainCode : kZeroGainCode;
}

double CFilter::GetGainDb() const {
    return CodeToGain(GetGainCode());
}

double CFilter::GetQ() {
    if (m_type >= kTypePeaking && m_type <= kTypeHighShelf && m_band != nullptr) {
        m_q = CodeToQ(m_band->qCode);
    } else if (m_type == kTypeHighPass || m_type == kTypeLowPass) {
        m_q = kQTable[0];
    }
    return m_q;
}

double CFilter::GetFreq() {
    if (m_type >= kTypePeaking && m_type <= kTypeLowPass) {
        if ((IsBand() && m_band != nullptr) || (!IsBand() && m_pass != nullptr)) {
            m_freq = CodeToFreq(GetFreqCode());
        }
    }
    return m_freq;
}

void CFilter::Recalc() {
    switch (m_type) {
        case kTypeBypass:
            m_response.fill(0.0);
            break;
        case kTypePeaking:
        case kTypeLowShelf:
        case kTypeHighShelf:
            ComputeBand();
            break;
        case kTypeHighPass:
        case kTypeLowPass:
            ComputePass();
            break;
        default:
            break;  // an unknown type keeps its last response
    }
    UpdateHandle();
    UpdateCurveY();
}

void CFilter::ComputeBand() {
    m_response = BandResponseDb(m_type, m_freq, m_gain, m_q);
}

void CFilter::ComputePass() {
    // A slope code beyond the table (only a damaged image can hold one) draws no filter.
    if (m_slope <= 0 || m_slope > kMaxSlopeCode) {
        m_response.fill(0.0);
        return;
    }
    const bool highPass = m_type == kTypeHighPass;
    const Cascade& cascade = kCascades[m_slope];
    Biquad sections[4];
    int count = 0;
    for (int s = 0; s < cascade.sections; ++s) {
        sections[count++] = PassBiquad(highPass, m_freq, cascade.q[s]);
    }
    if (cascade.firstOrder) {
        sections[count++] = PassFirstOrder(highPass, m_freq);
    }
    // The sections' levels add in dB; multiplying the powers first takes one logarithm per
    // point instead of one per section and point.
    const auto& grid = DisplayGrid();
    for (int i = 0; i < kGridPoints; ++i) {
        double p = 1.0;
        for (int s = 0; s < count; ++s) {
            p *= std::max(Power(sections[s], grid[i]), kMinPower);
        }
        m_response[i] = PowerToDb(p);
    }
}

void CFilter::SetPlot(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    const int zeroY = Trunc(DbToY(0.0, m_height) + kPlotTop);
    m_curve[0] = {kPlotLeft, zeroY};
    m_curve[kCurvePoints - 1] = {m_width + kPlotLeft, zeroY};
    const auto& grid = DisplayGrid();
    for (int i = 0; i < kGridPoints; ++i) {
        m_curve[i + 1].x =
            std::min(Trunc(FreqToX(grid[i].hz, m_width) + kPlotLeft), m_width + kPlotLeft);
    }
    Recalc();
}

void CFilter::UpdateCurveY() {
    for (int i = 0; i < kGridPoints; ++i) {
        m_curve[i + 1].y = Trunc(DbToY(m_response[i], m_height) + kPlotTop);
    }
}

void CFilter::UpdateHandle() {
    const int w = m_width;
    const int h = m_height;
    if (IsBand()) {
        int x0 = Trunc(FreqToX(m_freq, w) - kHandleSize / 2);
        int y0 = Trunc(DbToY(GetGainDb(), h) - kHandleSize / 2);
        x0 = std::max(x0, -kHandleSize / 2);
        y0 = std::max(y0, -kHandleSize / 2);
        y0 = std::max(y0, 0);
        int right = x0 + kHandleSize;
        int bottom = y0 + kHandleSize;
        if (right > w) {
            right = w;
            x0 = w - kHandleSize;
        }
        if (bottom >= h) {
            bottom = h;
            y0 = h - kHandleSize;
        }
        m_handle = {x0 + kPlotLeft, y0 + kPlotTop, right + kPlotLeft, bottom + kPlotTop};

        Rect& l = m_labelRect;
        l.left = m_handle.left - 100;
        l.right = m_handle.right + 100;
        if (l.right > w + kPlotLeft) {
            l.right = w + kPlotLeft;
            l.left = l.right - 200;
        } else if (l.left < kPlotLeft) {
            l.left = kPlotLeft;
            l.right = l.left + 200;
        }
        const bool below = m_type == kTypeBypass || GetGainCode() >= kZeroGainCode;
        if (below) {
            l.top = m_handle.top + 35;
            l.bottom = m_handle.bottom + 85;
        } else {
            l.top = m_handle.top - 50;
            l.bottom = m_handle.top + 50;
        }
        return;
    }

    // H sits with its top edge on +2 dB, L on 0 dB, so H is drawn slightly above L.
    int x0 = Trunc(FreqToX(m_freq, w) - kHandleSize / 2);
    const int y0 = Trunc(DbToY(m_type == kTypeHighPass ? 2.0 : 0.0, h));
    x0 = std::max(x0, -kHandleSize / 2);
    int right = x0 + kHandleSize;
    if (right > w + kHandleSize / 2) {
        right = w + kHandleSize / 2;
        x0 = right - kHandleSize;
    }
    m_handle = {x0 + kPlotLeft, y0 + kPlotTop, right + kPlotLeft, y0 + kHandleSize + kPlotTop};

    Rect& l = m_labelRect;
    if (m_type == kTypeHighPass) {
        l.top = m_handle.top + 15;
        l.bottom = m_handle.bottom + 25;
    } else {
        l.top = m_handle.top - 15;
        l.bottom = m_handle.bottom + 20;
    }
    if (m_handle.right + 50 > w + kPlotLeft) {
        l.right = w + kPlotLeft;
        l.left = l.right - 66;
    } else {
        l.left = m_handle.left;
        l.right = m_handle.right + 50;
    }
}

const std::string& CFilter::GetLabel() {
    const double f = m_freq;
    // Each label is formatted in one piece: string concatenation here makes GCC 12 warn
    // falsely (-Wrestrict) once it is inlined at -O2 and above.
    char text[96];
    if (m_type == kTypeHighPass || m_type == kTypeLowPass) {
        std::snprintf(text, sizeof text, GetFreqCode() < 82 ? "%.1fHz " : "%.0fHz ", f);
        m_labelText = text;
        return m_labelText;
    }
    if (m_type < kTypeBypass || m_type > kTypeHighShelf) {
        m_labelText.clear();
        return m_labelText;
    }
    const bool shelf = m_type == kTypeLowShelf || m_type == kTypeHighShelf;
    const char* format = f >= 101.0
                             ? (shelf ? "%s  %.0fHz %.3fQ %.1fdB" : "%s  %.0fHz %.2fQ %.1fdB")
                             : (shelf ? "%s  %.1fHz %.3fQ %.1fdB" : "%s  %.1fHz %.2fQ %.1fdB");
    std::snprintf(text, sizeof text, format, kBandTypeWords[m_type], f, GetQ(), GetGainDb());
    m_labelText = text;
    return m_labelText;
}

void CFilter::BeginDrag(Point p) {
    const Point c = m_handle.Center();
    m_dragOffset = {p.x - c.x, p.y - c.y};
}

void CFilter::MarkQStart() {
    m_qStart = m_band != nullptr ? m_band->qCode : 0;
}

int CFilter::DragBand(Point p) {
    if (!IsBand()) {
        return 0;
    }
    const Point c = m_handle.Center();
    if (p.x == c.x + m_dragOffset.x && p.y == c.y + m_dragOffset.y) {
        return 1;
    }
    const int x = std::clamp(p.x - m_dragOffset.x - kPlotLeft, 0, m_width);
    const int y = std::clamp(p.y - m_dragOffset.y - kPlotTop, 0, m_height);
    const double freq = std::clamp(XToFreq(x, m_width), kFreqTable[0], kFreqTable[kMaxFreqCode]);
    const double lowest = m_gainLimit == 1 ? -12.0 : -24.0;
    const double gain = std::clamp(YToDb(y, m_height), lowest, kTopDb);

    const int freqCode = FreqToCode(freq);
    m_freq = CodeToFreq(freqCode);
    if (m_band != nullptr) {
        WriteRecordField(m_band->freqCode, static_cast<uint16_t>(freqCode));
    }
    const int gainCode = GainToCode(gain);
    WriteGainCode(gainCode);
    if (m_slider != nullptr) {
        m_slider->SetPosInverted(gainCode);
    }
    Recalc();
    return 1;
}

int CFilter::DragQ(int pointerX) {
    if (!IsBand()) {
        return 0;
    }
    const int code = m_qStart + (pointerX - m_handle.Center().x) / 10;  // truncates toward 0
    SetQCode(std::clamp(code, 0, kMaxQCode));
    return 1;
}

int CFilter::DragPassFilter(Point p) {
    if (IsBand()) {
        return 0;
    }
    int x = p.x - m_dragOffset.x - kPlotLeft;
    if (x <= 0 && m_type == kTypeHighPass) {
        // H pulled to the left edge: no high-pass until the next recomputation.
        if (m_pass != nullptr) {
            WriteRecordField(m_pass->freqCode, 0);
        }
        m_freq = CodeToFreq(0);
        m_response.fill(0.0);
        UpdateHandle();
        return 1;
    }
    x = std::clamp(x, 0, m_width);
    const double freq = std::clamp(XToFreq(x, m_width), CodeToFreq(m_lowestPassCode),
                                   CodeToFreq(m_highestPassCode));
    const int code = FreqToCode(freq);
    if (m_pass != nullptr) {
        WriteRecordField(m_pass->freqCode, static_cast<uint16_t>(code));
    }
    m_freq = CodeToFreq(code);
    Recalc();
    return 1;
}

}  // namespace qx
