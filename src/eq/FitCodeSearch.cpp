#include "FitCodeSearch.h"

#include <algorithm>

namespace qx {

namespace {

constexpr int kMaxRounds = 8;
constexpr int kMaxStepRepeats = 50;
constexpr double kBetter = 1e-12;  // a move must lower the cost by more than rounding

class CCodeState {
  public:
    CCodeState(const CFitSpace& space, const FitCodeLimits& limits, std::vector<FitBand>& bands)
        : m_space(space),
          m_limits(limits),
          m_bands(bands),
          m_sum(static_cast<std::size_t>(space.Count()), 0.0),
          m_try(m_sum.size()) {
        for (FitBand& b : m_bands) {
            Clamp(b);
            m_responses.emplace_back(m_sum.size());
            m_space.Response(b, m_responses.back().data());
            for (std::size_t i = 0; i < m_sum.size(); ++i) {
                m_sum[i] += m_responses.back()[i];
            }
        }
        m_cost = m_space.Cost(m_sum.data());
    }

    // Tries band j as candidate; keeps it when the cost drops.
    bool Try(std::size_t j, FitBand candidate) {
        if (!Valid(candidate) || candidate == m_bands[j]) {
            return false;
        }
        m_space.Response(candidate, m_try.data());
        const double cost =
            m_space.CostReplacing(m_sum.data(), m_responses[j].data(), m_try.data());
        if (cost >= m_cost - kBetter) {
            return false;
        }
        for (std::size_t i = 0; i < m_sum.size(); ++i) {
            m_sum[i] += m_try[i] - m_responses[j][i];
        }
        std::swap(m_responses[j], m_try);
        m_bands[j] = candidate;
        m_cost = cost;
        return true;
    }

    bool Valid(const FitBand& b) const {
        return b.freqCode >= m_limits.lowFreq && b.freqCode <= m_limits.highFreq &&
               b.gainCode >= m_limits.lowGain && b.gainCode <= m_limits.highGain && b.qCode >= 0 &&
               b.qCode <= m_limits.HighQ(b.type);
    }

    void Clamp(FitBand& b) const {
        b.freqCode = std::clamp(b.freqCode, m_limits.lowFreq, m_limits.highFreq);
        b.gainCode = std::clamp(b.gainCode, m_limits.lowGain, m_limits.highGain);
        b.qCode = std::clamp(b.qCode, 0, m_limits.HighQ(b.type));
    }

    std::size_t Size() const { return m_bands.size(); }
    const FitBand& Band(std::size_t j) const { return m_bands[j]; }
    double Cost() const { return m_cost; }

  private:
    const CFitSpace& m_space;
    const FitCodeLimits& m_limits;
    std::vector<FitBand>& m_bands;
    std::vector<std::vector<double>> m_responses;
    std::vector<double> m_sum;
    std::vector<double> m_try;
    double m_cost = 0.0;
};

// One code of one band moved by step, in each direction.
bool PatternPass(CCodeState& s, int step) {
    bool moved = false;
    for (std::size_t j = 0; j < s.Size(); ++j) {
        for (int dim = 0; dim < 3; ++dim) {
            for (int sign : {1, -1}) {
                FitBand c = s.Band(j);
                int& code = dim == 0 ? c.freqCode : dim == 1 ? c.gainCode : c.qCode;
                code += sign * step;
                while (s.Try(j, c)) {  // keep going while the direction pays
                    moved = true;
                    c = s.Band(j);
                    int& again = dim == 0 ? c.freqCode : dim == 1 ? c.gainCode : c.qCode;
                    again += sign * step;
                }
            }
        }
    }
    return moved;
}

// All three codes of a band one step at once: frequency, gain and Q trade against each other.
bool NeighbourPass(CCodeState& s) {
    bool moved = false;
    for (std::size_t j = 0; j < s.Size(); ++j) {
        for (int df = -1; df <= 1; ++df) {
            for (int dg = -1; dg <= 1; ++dg) {
                for (int dq = -1; dq <= 1; ++dq) {
                    FitBand c = s.Band(j);
                    c.freqCode += df;
                    c.gainCode += dg;
                    c.qCode += dq;
                    moved = s.Try(j, c) || moved;
                }
            }
        }
    }
    return moved;
}

// Another allowed type for a band, or none at all (a band that does not help is dropped).
bool TypePass(CCodeState& s, const FitOptions& o) {
    bool moved = false;
    for (std::size_t j = 0; j < s.Size(); ++j) {
        for (int type : {kTypePeaking, kTypeLowShelf, kTypeHighShelf}) {
            if (o.Allows(type)) {
                FitBand c = s.Band(j);
                c.type = type;
                moved = s.Try(j, c) || moved;
            }
        }
        FitBand off = s.Band(j);
        off.gainCode = kZeroGainCode;
        moved = s.Try(j, off) || moved;
    }
    return moved;
}

}  // namespace

bool CFitCodeSearch::Run(const CFitSpace& space, const FitOptions& options,
                         const FitCodeLimits& limits, std::vector<FitBand>& bands,
                         const CRoomFit::Progress& progress) {
    CCodeState s(space, limits, bands);
    for (int round = 0; round < kMaxRounds; ++round) {
        bool moved = false;
        for (int step : {16, 8, 4, 2, 1}) {
            for (int k = 0; k < kMaxStepRepeats && PatternPass(s, step); ++k) {
                moved = true;
            }
            if (progress && !progress(-1.0)) {
                return false;
            }
        }
        for (int k = 0; k < kMaxStepRepeats && NeighbourPass(s); ++k) {
            moved = true;
        }
        moved = TypePass(s, options) || moved;
        if (progress && !progress(0.7 + 0.3 * (round + 1) / kMaxRounds)) {
            return false;
        }
        if (!moved) {
            break;
        }
    }
    return true;
}

}  // namespace qx
