#include "RoomFit.h"

#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "DataConver.h"
#include "FilterText.h"
#include "FitCodeSearch.h"
#include "FitSpace.h"

namespace qx {

namespace {

constexpr double kShelfQ = 0.7071;
constexpr double kMinGainDb = 0.1;  // a band that does less than this is not worth a band
// A band that lowers the RMS deviation by less than this is left out, and a deviation this
// small needs no further band: neither is audible.
constexpr double kWorthABandDb = 0.02;
constexpr double kGoodEnoughDb = 0.05;

// A band's free values while they are optimised: ln(hz), dB, ln(Q).
struct FreeBand {
    int type = kTypePeaking;
    double logHz = 0.0;
    double gainDb = 0.0;
    double logQ = 0.0;
};

FitCodeLimits LimitsOf(const FitInput& input, const FitOptions& o) {
    FitCodeLimits l;
    l.lowFreq = FreqToCode(o.lowHz);
    l.highFreq = std::max(FreqToCode(o.highHz), l.lowFreq);
    l.lowGain = std::clamp(input.lowestGainCode, 0, kZeroGainCode);
    const int boost = static_cast<int>(std::floor(std::max(o.maxBoostDb, 0.0) / 0.2 + 1e-9));
    l.highGain = std::clamp(std::min(input.highestGainCode, kZeroGainCode + boost), kZeroGainCode,
                            kMaxGainCode);
    // Shelves steeper than this ring above and below their corner; a fit has no use for it.
    l.highShelfQ = QToCode(1.0);
    return l;
}

FitBand ToCodes(const FreeBand& f, const FitCodeLimits& l) {
    FitBand b;
    b.type = f.type;
    b.freqCode = std::clamp(FreqToCode(std::exp(f.logHz)), l.lowFreq, l.highFreq);
    b.gainCode = std::clamp(static_cast<int>(GainToCode(f.gainDb)), l.lowGain, l.highGain);
    b.qCode = std::clamp(QToCode(std::exp(f.logQ)), 0, l.HighQ(f.type));
    return b;
}

// The fit's state in free values, with the sum of the bands' responses kept current.
class CFreeState {
  public:
    explicit CFreeState(const CFitSpace& space)
        : m_space(&space), m_sum(static_cast<std::size_t>(space.Count()), 0.0) {}

    void Add(const FreeBand& b) {
        m_bands.push_back(b);
        m_responses.emplace_back(m_sum.size());
        Compute(b, m_responses.back().data());
        for (std::size_t i = 0; i < m_sum.size(); ++i) {
            m_sum[i] += m_responses.back()[i];
        }
    }
    void Set(std::size_t j, const FreeBand& b) {
        std::vector<double> now(m_sum.size());
        Compute(b, now.data());
        for (std::size_t i = 0; i < m_sum.size(); ++i) {
            m_sum[i] += now[i] - m_responses[j][i];
        }
        m_responses[j] = std::move(now);
        m_bands[j] = b;
    }
    void Compute(const FreeBand& b, double* out) const {
        m_space->Response(b.type, std::exp(b.logHz), b.gainDb, std::exp(b.logQ), out);
    }
    double Cost() const { return m_space->Cost(m_sum.data()); }
    double CostWith(std::size_t j, const double* now) const {
        return m_space->CostReplacing(m_sum.data(), m_responses[j].data(), now);
    }
    double CostAdding(const double* now) const {
        std::vector<double> zero(m_sum.size(), 0.0);
        return m_space->CostReplacing(m_sum.data(), zero.data(), now);
    }
    const std::vector<double>& Sum() const { return m_sum; }
    const std::vector<FreeBand>& Bands() const { return m_bands; }

  private:
    const CFitSpace* m_space;
    std::vector<FreeBand> m_bands;
    std::vector<std::vector<double>> m_responses;
    std::vector<double> m_sum;
};

// ---- continuous optimisation of chosen bands (NLopt) ----

struct NloptContext {
    CFreeState* state;
    std::vector<std::size_t> bands;  // which bands the variables are
    const CFitSpace* space;
    const CRoomFit::Progress* progress;
    nlopt_opt opt;
    bool cancelled = false;
};

FreeBand FromVariables(const FreeBand& like, const double* x) {
    FreeBand b = like;
    b.logHz = x[0];
    b.gainDb = x[1];
    b.logQ = x[2];
    return b;
}

double Objective(unsigned n, const double* x, double* grad, void* data) {
    auto& c = *static_cast<NloptContext*>(data);
    if (c.progress != nullptr && *c.progress && !(*c.progress)(-1.0)) {
        c.cancelled = true;
        nlopt_force_stop(c.opt);
    }
    for (std::size_t k = 0; k < c.bands.size(); ++k) {
        c.state->Set(c.bands[k], FromVariables(c.state->Bands()[c.bands[k]], x + 3 * k));
    }
    const double cost = c.state->Cost();
    if (grad != nullptr) {
        constexpr double kStep[3] = {1e-4, 1e-3, 1e-4};
        std::vector<double> now(static_cast<std::size_t>(c.space->Count()));
        for (unsigned v = 0; v < n; ++v) {
            const std::size_t k = v / 3;
            double y[3] = {x[3 * k], x[3 * k + 1], x[3 * k + 2]};
            y[v % 3] += kStep[v % 3];
            c.state->Compute(FromVariables(c.state->Bands()[c.bands[k]], y), now.data());
            grad[v] = (c.state->CostWith(c.bands[k], now.data()) - cost) / kStep[v % 3];
        }
    }
    return cost;
}

// Optimises the free values of the given bands within the limits; false when cancelled.
bool Optimise(CFreeState& state, const std::vector<std::size_t>& bands, const CFitSpace& space,
              const FitCodeLimits& l, int maxEvaluations, const CRoomFit::Progress& progress) {
    const unsigned n = static_cast<unsigned>(3 * bands.size());
    std::vector<double> x(n), lower(n), upper(n);
    for (std::size_t k = 0; k < bands.size(); ++k) {
        const FreeBand& b = state.Bands()[bands[k]];
        lower[3 * k] = std::log(CodeToFreq(l.lowFreq));
        upper[3 * k] = std::log(CodeToFreq(l.highFreq));
        lower[3 * k + 1] = CodeToGain(l.lowGain);
        upper[3 * k + 1] = CodeToGain(l.highGain);
        lower[3 * k + 2] = std::log(kQTable[0]);
        upper[3 * k + 2] = std::log(kQTable[l.HighQ(b.type)]);
        x[3 * k] = b.logHz;
        x[3 * k + 1] = b.gainDb;
        x[3 * k + 2] = b.logQ;
        for (int v = 0; v < 3; ++v) {
            x[3 * k + v] = std::clamp(x[3 * k + v], lower[3 * k + v], upper[3 * k + v]);
        }
    }
    NloptContext c{&state, bands, &space, &progress, nlopt_create(NLOPT_LD_LBFGS, n)};
    nlopt_set_lower_bounds(c.opt, lower.data());
    nlopt_set_upper_bounds(c.opt, upper.data());
    nlopt_set_min_objective(c.opt, Objective, &c);
    nlopt_set_maxeval(c.opt, maxEvaluations);
    nlopt_set_ftol_rel(c.opt, 1e-7);
    double best = 0.0;
    const std::vector<FreeBand> start = state.Bands();
    const double startCost = state.Cost();
    const nlopt_result r = nlopt_optimize(c.opt, x.data(), &best);
    nlopt_destroy(c.opt);
    // The state holds the last point tried. x holds the best one even when L-BFGS gives up
    // (the difference-quotient gradient is not exact near the optimum): take it unless it is
    // worse than where the search began.
    (void)r;
    bool finite = true;
    for (double v : x) {
        finite = finite && std::isfinite(v);
    }
    for (std::size_t k = 0; k < bands.size() && finite; ++k) {
        state.Set(bands[k], FromVariables(state.Bands()[bands[k]], x.data() + 3 * k));
    }
    if (!finite || !(state.Cost() <= startCost)) {
        for (std::size_t k = 0; k < bands.size(); ++k) {
            state.Set(bands[k], start[bands[k]]);
        }
    }
    return !c.cancelled;
}

// ---- placing bands one by one ----

// The bandwidth in octaves over which the residual stays above half its value at i.
double HalfWidthOctaves(const std::vector<double>& r, int i) {
    const auto& grid = DisplayGrid();
    const double half = r[i] / 2.0;
    const int n = static_cast<int>(r.size());
    int a = i;
    int b = i;
    while (a > 0 && r[a - 1] * half > 0.0 && std::fabs(r[a - 1]) > std::fabs(half)) {
        --a;
    }
    while (b < n - 1 && r[b + 1] * half > 0.0 && std::fabs(r[b + 1]) > std::fabs(half)) {
        ++b;
    }
    (void)grid;
    return std::max(static_cast<double>(b - a + 1) / 36.0, 0.03);
}

// The best next band for the residual, or false when none improves the cost.
bool NextBand(const CFreeState& state, const CFitSpace& space, const FitOptions& o,
              const FitCodeLimits& l, FreeBand& chosen) {
    const auto& grid = DisplayGrid();
    const std::vector<double> r = space.Residual(state.Sum().data());
    const double lowDb = CodeToGain(l.lowGain);
    const double highDb = CodeToGain(l.highGain);
    const int firstCode = l.lowFreq;
    std::vector<double> resp(r.size());
    double bestCost = state.Cost() * (1.0 - 1e-6);
    bool found = false;
    auto consider = [&](const FreeBand& b) {
        if (std::fabs(b.gainDb) < kMinGainDb) {
            return;
        }
        state.Compute(b, resp.data());
        const double cost = state.CostAdding(resp.data());
        if (cost < bestCost) {
            bestCost = cost;
            chosen = b;
            found = true;
        }
    };
    // Grid point i of the space is code (first + i - kGridCodeOffset).
    auto inCodes = [&](int i) {
        const int code = space.First() + i - kGridCodeOffset;
        return code >= l.lowFreq && code <= l.highFreq;
    };
    if (o.allowPeaking) {
        // The largest deviation that the allowed gains can work on, and the next few.
        std::vector<int> order;
        for (int i = 0; i < space.Count(); ++i) {
            if (space.Weighted(i) && inCodes(i) && (highDb > 0.0 || r[i] > 0.0)) {
                order.push_back(i);
            }
        }
        const std::size_t tries = std::min<std::size_t>(order.size(), 3);
        std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(tries),
                          order.end(),
                          [&r](int a, int b) { return std::fabs(r[a]) > std::fabs(r[b]); });
        for (std::size_t t = 0; t < tries; ++t) {
            const int i = order[t];
            const double q0 = OctavesToQ(HalfWidthOctaves(r, i));
            for (double qf : {0.5, 1.0, 2.0}) {
                for (double gf : {0.6, 1.0}) {
                    FreeBand b;
                    b.type = kTypePeaking;
                    b.logHz = std::log(grid[space.First() + i].hz);
                    b.gainDb = std::clamp(-r[i] * gf, lowDb, highDb);
                    b.logQ = std::log(std::clamp(q0 * qf, kQTable[0], kQTable[kMaxQCode]));
                    consider(b);
                }
            }
        }
    }
    // Shelves: corners a third of an octave apart; the gain that levels the side they lift.
    for (int type : {kTypeLowShelf, kTypeHighShelf}) {
        if (!o.Allows(type)) {
            continue;
        }
        for (int i = 0; i < space.Count(); i += 12) {
            if (!inCodes(i)) {
                continue;
            }
            double s = 0.0;
            int n = 0;
            for (int k = 0; k < space.Count(); ++k) {
                if (space.Weighted(k) && ((type == kTypeLowShelf) == (k <= i))) {
                    s += r[k];
                    ++n;
                }
            }
            if (n == 0) {
                continue;
            }
            FreeBand b;
            b.type = type;
            b.logHz = std::log(grid[space.First() + i].hz);
            b.gainDb = std::clamp(-s / n, lowDb, highDb);
            b.logQ = std::log(kShelfQ);
            consider(b);
        }
    }
    (void)firstCode;
    return found;
}

}  // namespace

bool FitOptions::Allows(int type) const {
    switch (type) {
        case kTypePeaking:
            return allowPeaking;
        case kTypeLowShelf:
            return allowLowShelf;
        case kTypeHighShelf:
            return allowHighShelf;
        default:
            return false;
    }
}

FitResult CRoomFit::Run(const FitInput& input, const FitOptions& options,
                        const Progress& progress) {
    FitResult result;
    result.bands = input.current;
    result.fitted.assign(input.current.size(), false);
    result.before = Evaluate(input, input.current, options);
    const CFitSpace space(input, options);
    if (!space.Usable()) {
        result.error = "the measurement has no point between the range's frequencies";
        return result;
    }
    if (!options.allowPeaking && !options.allowLowShelf && !options.allowHighShelf) {
        result.error = "no band type is allowed";
        return result;
    }
    std::vector<std::size_t> free;
    for (std::size_t b = 0; b < input.current.size(); ++b) {
        if (!options.keepBands || input.current[b].type == kTypeBypass) {
            free.push_back(b);
        }
    }
    std::size_t wanted = free.size();
    if (options.maxBands > 0) {
        wanted = std::min(wanted, static_cast<std::size_t>(options.maxBands));
    }
    const FitCodeLimits limits = LimitsOf(input, options);
    auto tell = [&progress](double done) { return !progress || progress(done); };

    // Bands one by one, each placed and then tuned on its own.
    CFreeState state(space);
    for (std::size_t k = 0; k < wanted; ++k) {
        FreeBand next;
        const double rmsBefore = std::sqrt(state.Cost());
        if (rmsBefore < kGoodEnoughDb || !NextBand(state, space, options, limits, next)) {
            break;
        }
        const std::vector<FreeBand> previous = state.Bands();
        state.Add(next);
        // The new band on its own first, then every band so far together: a band placed
        // before may now do better elsewhere.
        std::vector<std::size_t> sofar(state.Bands().size());
        for (std::size_t j = 0; j < sofar.size(); ++j) {
            sofar[j] = j;
        }
        if (!Optimise(state, {sofar.back()}, space, limits, 40, progress) ||
            !Optimise(state, sofar, space, limits, 80, progress) ||
            !tell(0.4 * static_cast<double>(k + 1) / static_cast<double>(wanted))) {
            result.cancelled = true;
            return result;
        }
        if (rmsBefore - std::sqrt(state.Cost()) < kWorthABandDb) {
            CFreeState fewer(space);
            for (const FreeBand& b : previous) {
                fewer.Add(b);
            }
            state = std::move(fewer);
            break;
        }
    }
    // All of them together.
    std::vector<std::size_t> all(state.Bands().size());
    for (std::size_t j = 0; j < all.size(); ++j) {
        all[j] = j;
    }
    if (!all.empty() && !Optimise(state, all, space, limits, 400, progress)) {
        result.cancelled = true;
        return result;
    }
    result.continuousRmsDb = std::sqrt(state.Cost());
    if (!tell(0.7)) {
        result.cancelled = true;
        return result;
    }

    // Into codes, and the search over them.
    std::vector<FitBand> coded;
    for (const FreeBand& f : state.Bands()) {
        coded.push_back(ToCodes(f, limits));
    }
    if (!CFitCodeSearch::Run(space, options, limits, coded, progress)) {
        result.cancelled = true;
        return result;
    }
    // Fitted bands in order of frequency on the free bands; the free bands left bypassed.
    std::erase_if(coded, [](const FitBand& b) {
        return b.type == kTypeBypass || b.gainCode == kZeroGainCode;
    });
    std::sort(coded.begin(), coded.end(),
              [](const FitBand& a, const FitBand& b) { return a.freqCode < b.freqCode; });
    for (std::size_t k = 0; k < free.size(); ++k) {
        FitBand& band = result.bands[free[k]];
        if (k < coded.size()) {
            band = coded[k];
            result.fitted[free[k]] = true;
        } else {
            band.type = kTypeBypass;
            band.gainCode = kZeroGainCode;
        }
    }
    result.after = Evaluate(input, result.bands, options);
    tell(1.0);
    return result;
}

FitError CRoomFit::Evaluate(const FitInput& input, const std::vector<FitBand>& bands,
                            const FitOptions& options) {
    FitOptions all = options;
    all.keepBands = false;
    FitInput none = input;
    none.current.clear();
    const CFitSpace space(none, all);
    if (!space.Usable()) {
        return {};
    }
    std::vector<double> sum(static_cast<std::size_t>(space.Count()), 0.0);
    std::vector<double> one(sum.size());
    for (const FitBand& b : bands) {
        space.Response(b, one.data());
        for (std::size_t i = 0; i < sum.size(); ++i) {
            sum[i] += one[i];
        }
    }
    return space.Error(sum.data());
}

GridCurve CRoomFit::Predicted(const FitInput& input, const std::vector<FitBand>& bands) {
    GridCurve out;
    std::array<double, kGridPoints> one{};
    for (int g = 0; g < kGridPoints; ++g) {
        out[g] = input.measurement[g] + input.fixed[g];
    }
    for (const FitBand& b : bands) {
        BandResponseDbRange(b.type, CodeToFreq(b.freqCode), CodeToGain(b.gainCode),
                            CodeToQ(b.qCode), 0, kGridPoints, one.data());
        for (int g = 0; g < kGridPoints; ++g) {
            out[g] += one[g];
        }
    }
    return out;
}

std::string CRoomFit::Describe(const FitBand& b) {
    if (b.type == kTypeBypass || b.type > kTypeHighShelf) {
        return "--";
    }
    static const char* const kNames[] = {"--", "PK", "LS", "HS"};
    const double hz = CodeToFreq(b.freqCode);
    char buf[96];
    std::snprintf(buf, sizeof buf,
                  hz < 1000.0 ? "%s  %.1f Hz  Q %.2f  %+.1f dB" : "%s  %.0f Hz  Q %.2f  %+.1f dB",
                  kNames[b.type], hz, CodeToQ(b.qCode), CodeToGain(b.gainCode));
    return buf;
}

}  // namespace qx
