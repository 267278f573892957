#include "EqTextImport.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "CurveSets.h"
#include "DataConver.h"
#include "Filter.h"
#include "LabelRules.h"
#include "ParameterSet.h"

namespace qx {

namespace {

constexpr int kDynamicLowestGainCode = 60;  // the dynamic bands work within +-12 dB
constexpr int kDynamicHighestGainCode = 180;
constexpr double kSlopeQTolerance = 0.01;

// The pass-filter slopes made of one second-order section, and their Q.
struct SecondOrderSlope {
    int code;
    double q;
};
constexpr SecondOrderSlope kSecondOrderSlopes[] = {{4, 0.5}, {2, 0.5773}, {3, 0.7071}};

std::string Printf(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string Hz(double hz) {
    return Printf(hz < 101.0 ? "%.1f" : "%.0f", hz) + " Hz";
}

std::string Db(double db) {
    return Printf("%+.1f", db) + " dB";
}

// A table Q as the band strip shows it: at least one decimal.
std::string TableQ(double q) {
    const std::string text = Printf("%g", q);
    return text.find('.') == std::string::npos ? text + ".0" : text;
}

bool IsPass(TextFilterKind k) {
    return k == TextFilterKind::HighPass || k == TextFilterKind::LowPass;
}

int BandType(TextFilterKind k) {
    switch (k) {
        case TextFilterKind::LowShelf:
            return kTypeLowShelf;
        case TextFilterKind::HighShelf:
            return kTypeHighShelf;
        default:
            return kTypePeaking;
    }
}

std::string FilterName(const TextFilter& f) {
    return f.number > 0 ? "filter " + std::to_string(f.number) : "the filter";
}

// Checks a value against a range; adds the refusal when it is outside.
bool InRange(double v, double low, double high, const std::string& what, const std::string& text,
             const TextFilter& f, std::vector<TextProblem>& errors) {
    if (v >= low && v <= high) {
        return true;
    }
    errors.push_back({f.line, FilterName(f) + ": " + what + " " + text + " is outside " + what +
                                  " range of the equaliser"});
    return false;
}

bool CheckFrequency(const TextFilter& f, std::vector<TextProblem>& errors) {
    return InRange(f.hz, kFreqTable[0], kFreqTable[kMaxFreqCode], "the frequency",
                   Printf("%g Hz", f.hz) + " (19.7 to 20600 Hz)", f, errors);
}

void PlanPass(const TextFilter& f, const EqElements& e, EqImportPlan& plan, bool& highUsed,
              bool& lowUsed) {
    const bool high = f.kind == TextFilterKind::HighPass;
    const char* name = high ? "high-pass" : "low-pass";
    if ((high ? e.hpf : e.lpf) == nullptr) {
        plan.errors.push_back(
            {f.line, FilterName(f) + ": " + EqName(plan.eqNumber) + " has no " + name + " filter"});
        return;
    }
    bool& used = high ? highUsed : lowUsed;
    if (used) {
        plan.errors.push_back({f.line, FilterName(f) + ": a second " + name + " filter; " +
                                           EqName(plan.eqNumber) + " has one"});
        return;
    }
    used = true;
    EqImportStep step;
    step.filter = f;
    step.target = high ? EqImportStep::Target::HighPass : EqImportStep::Target::LowPass;
    if (!CheckFrequency(f, plan.errors)) {
        return;
    }
    step.freqCode = FreqToCode(f.hz);
    step.slope = 0;
    if (f.on) {
        for (const SecondOrderSlope& s : kSecondOrderSlopes) {
            if (std::fabs(f.q - s.q) <= kSlopeQTolerance) {
                step.slope = s.code;
            }
        }
        if (step.slope == 0) {
            plan.errors.push_back(
                {f.line, FilterName(f) + ": " + name + " Q " + Printf("%.3g", f.q) +
                             " matches no slope of the equaliser's " + name +
                             " (second-order: Q 0.5 Linkwitz-Riley, 0.577 Bessel, 0.707 "
                             "Butterworth)"});
            return;
        }
    }
    plan.steps.push_back(step);
}

void PlanBand(const TextFilter& f, int band, bool dynamic, EqImportPlan& plan) {
    const int lowest = dynamic ? kDynamicLowestGainCode : 0;
    const int highest = dynamic ? kDynamicHighestGainCode : kMaxGainCode;
    bool ok = CheckFrequency(f, plan.errors);
    ok = InRange(f.gainDb, CodeToGain(lowest), CodeToGain(highest), "the gain",
                 Printf("%+.1f dB", f.gainDb) + " (" + Printf("%+.0f", CodeToGain(lowest)) +
                     " to " + Printf("%+.0f dB)", CodeToGain(highest)),
                 f, plan.errors) &&
         ok;
    ok = InRange(f.q, kQTable[0], kQTable[kMaxQCode], "the Q",
                 Printf("%.3g", f.q) + " (0.4 to 128)", f, plan.errors) &&
         ok;
    if (!ok) {
        return;
    }
    EqImportStep step;
    step.filter = f;
    step.band = band;
    step.freqCode = FreqToCode(f.hz);
    step.gainCode = GainToCode(f.gainDb);
    step.qCode = QToCode(f.q);
    step.type = f.on ? BandType(f.kind) : kTypeBypass;
    plan.steps.push_back(step);
}

// What the text asks for, on the display grid.
CFilter::Response TextResponse(const EqImportPlan& plan) {
    CFilter::Response sum{};
    for (const EqImportStep& s : plan.steps) {
        const TextFilter& f = s.filter;
        if (!f.on) {
            continue;
        }
        const CFilter::Response r =
            IsPass(f.kind) ? PassSectionResponseDb(f.kind == TextFilterKind::HighPass, f.hz, f.q)
                           : BandResponseDb(BandType(f.kind), f.hz, f.gainDb, f.q);
        for (int i = 0; i < kGridPoints; ++i) {
            sum[i] += r[i];
        }
    }
    return sum;
}

// What the equaliser gets: every band and the pass filters the plan sets.
CFilter::Response CodedResponse(const EqImportPlan& plan, ProgramImage& image) {
    const EqElements e = EqElementsOf(image, plan.eqNumber, plan.scene);
    CFilter::Response sum{};
    auto add = [&sum](const CFilter& f) {
        for (int i = 0; i < kGridPoints; ++i) {
            sum[i] += f.GetResponse()[i];
        }
    };
    for (int b = 0; b < e.count; ++b) {
        CFilter f;
        f.AttachBand(e.Band(b));
        add(f);
    }
    for (const EqImportStep& s : plan.steps) {
        if (s.target == EqImportStep::Target::Band) {
            continue;
        }
        CFilter f;
        const bool high = s.target == EqImportStep::Target::HighPass;
        f.SetType(high ? kTypeHighPass : kTypeLowPass);
        f.AttachPassFilter(high ? e.hpf : e.lpf);
        add(f);
    }
    return sum;
}

void NoteKeptPass(const PassFilter* p, const char* name, bool set, EqImportPlan& plan) {
    if (p == nullptr || set || p->slope == 0 || p->slope > kMaxSlopeCode) {
        return;
    }
    plan.notes.push_back({0, std::string("the ") + name + " filter (" + kSlopeNames[p->slope] +
                                 " at " + Hz(CodeToFreq(p->freqCode)) +
                                 ") is kept as it is and left out of the comparison"});
}

}  // namespace

std::string EqName(int eqNumber) {
    static const char* const kNames[kEqNumberCount] = {
        "MusicLeft",
        "MusicRight",
        "Mic1",
        "Mic2",
        "EchoA",
        "EchoB",
        "Reverb",
        "ReverbShadow",
        "Output MainL",
        "Output MainR",
        "Output Center",
        "Output SUB",
        "Output RearL",
        "Output RearR",
        "Output SurroundL",
        "Output SurroundR",
        "Dynamic EQ left",
        "Dynamic EQ right",
    };
    return eqNumber >= 0 && eqNumber < kEqNumberCount ? kNames[eqNumber]
                                                      : "equaliser " + std::to_string(eqNumber);
}

EqImportPlan CEqTextImport::Plan(const FilterText& text, const ProgramImage& image, int eqNumber,
                                 int scene) {
    EqImportPlan plan;
    plan.eqNumber = eqNumber;
    plan.scene = scene;
    plan.errors = text.problems;
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &image, sizeof(ProgramImage));
    const EqElements e = EqElementsOf(*copy, eqNumber, scene);
    plan.bandCount = e.count;
    if (e.count == 0) {
        plan.errors.push_back({0, "equaliser " + std::to_string(eqNumber) + " does not exist"});
        return plan;
    }
    int onBands = 0;
    int offBands = 0;
    for (const TextFilter& f : text.filters) {
        if (!IsPass(f.kind)) {
            (f.on ? onBands : offBands) += 1;
        }
    }
    // Switched-off filters keep their place while everything fits; otherwise they give way.
    const bool offTakeBands = onBands + offBands <= e.count;
    bool highUsed = false;
    bool lowUsed = false;
    int band = 0;
    for (const TextFilter& f : text.filters) {
        if (IsPass(f.kind)) {
            PlanPass(f, e, plan, highUsed, lowUsed);
            continue;
        }
        if (!f.on && !offTakeBands) {
            plan.notes.push_back({f.line, FilterName(f) + " is OFF and left out: the ON filters "
                                                          "need every band"});
            continue;
        }
        if (band >= e.count) {
            plan.errors.push_back({f.line, FilterName(f) + " does not fit: " + EqName(eqNumber) +
                                               " has " + std::to_string(e.count) + " bands and " +
                                               std::to_string(onBands) + " filters are ON"});
            continue;
        }
        PlanBand(f, band++, e.dynamic != nullptr, plan);
    }
    if (text.hasPreamp) {
        plan.notes.push_back({text.preampLine, "Preamp " + Db(text.preampDb) +
                                                   " is not applied: the equaliser has no "
                                                   "level of its own; set the channel's level"});
    }
    NoteKeptPass(e.hpf, "high-pass", highUsed, plan);
    NoteKeptPass(e.lpf, "low-pass", lowUsed, plan);
    if (const U8* bypass = EqBypassByte(*copy, eqNumber);
        bypass != nullptr && *bypass != 0 && eqNumber >= 0 && eqNumber < kEqOutputFirst) {
        plan.notes.push_back({0, EqName(eqNumber) + " is bypassed; the bands work once it is "
                                                    "switched on"});
    }
    if (!plan.Ok()) {
        return plan;
    }
    Apply(plan, *copy);
    const CFilter::Response asked = TextResponse(plan);
    const CFilter::Response got = CodedResponse(plan, *copy);
    const auto& grid = DisplayGrid();
    for (int i = 0; i < kGridPoints; ++i) {
        const double d = std::fabs(got[i] - asked[i]);
        if (d > plan.maxDeviationDb) {
            plan.maxDeviationDb = d;
            plan.deviationHz = grid[i].hz;
        }
    }
    return plan;
}

bool CEqTextImport::Apply(const EqImportPlan& plan, ProgramImage& image) {
    if (!plan.Ok()) {
        return false;
    }
    const EqElements e = EqElementsOf(image, plan.eqNumber, plan.scene);
    if (e.count != plan.bandCount) {
        return false;
    }
    int used = 0;
    for (const EqImportStep& s : plan.steps) {
        if (s.target == EqImportStep::Target::Band) {
            EqBand* b = e.Band(s.band);
            b->freqCode = static_cast<uint16_t>(s.freqCode);
            b->gainCode = static_cast<uint8_t>(s.gainCode);
            b->qCode = static_cast<uint8_t>(s.qCode);
            b->type = static_cast<uint8_t>(s.type);
            used = std::max(used, s.band + 1);
            continue;
        }
        const bool high = s.target == EqImportStep::Target::HighPass;
        PassFilter* p = high ? e.hpf : e.lpf;
        p->kind = high ? 0 : 1;
        p->freqCode = static_cast<uint16_t>(s.freqCode);
        p->slope = static_cast<uint8_t>(s.slope);
    }
    // The bands the text leaves unused keep their values and are switched off.
    for (int b = used; b < e.count; ++b) {
        e.Band(b)->type = kTypeBypass;
    }
    return true;
}

std::string CEqTextImport::Describe(const EqImportStep& s) {
    const TextFilter& f = s.filter;
    // Short pieces are formatted whole: concatenating onto a short literal makes GCC 12 warn
    // falsely (-Wrestrict) once it is inlined at -O2 and above.
    std::string where;
    if (s.target == EqImportStep::Target::Band) {
        where = Printf("band %.0f", s.band + 1.0);
    } else {
        where.assign(1, s.target == EqImportStep::Target::HighPass ? 'H' : 'L');
    }
    const std::string slope = f.slopeDb > 0.0 ? Printf(" %gdB", f.slopeDb) : std::string();
    std::string text = where + "  " + f.type + slope + (f.on ? "" : " OFF") + "  Fc " + Hz(f.hz) +
                       " -> " + Hz(CodeToFreq(s.freqCode));
    if (s.target != EqImportStep::Target::Band) {
        return text + ", " + (s.slope == 0 ? std::string("ByPass") : kSlopeNames[s.slope]);
    }
    text += ", Q " + Printf("%.2f", f.q) + " -> " + TableQ(CodeToQ(s.qCode));
    text += ", Gain " + Printf("%.1f", f.gainDb) + " -> " + Printf("%.1f", CodeToGain(s.gainCode)) +
            " dB";
    if (!f.on) {
        text += " (bypassed)";
    }
    return text;
}

}  // namespace qx
