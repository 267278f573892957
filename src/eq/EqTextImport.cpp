#include "EqTextImport.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "CurveSets.h"
#include "DataConver.h"
#include "EqTitle.h"
#include "Filter.h"
#include "LabelRules.h"
#include "ParameterSet.h"
#include "TextPair.h"

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
    return f.number > 0 ? Tr({"滤波器 %1", "filter %1"}, {std::to_string(f.number)})
                        : Tr({"该滤波器", "the filter"});
}

// The equaliser as messages name it: its title in Chinese, its fixed name in English (the
// wording qxctl has always printed).
std::string Named(int eqNumber) {
    return useChinese ? EqTitle(eqNumber) : EqName(eqNumber);
}

// "name: message" with the colon of the language in force.
std::string About(const TextFilter& f, const std::string& message) {
    return Tr({"%1：%2", "%1: %2"}, {FilterName(f), message});
}

// " (low to high)" after a value.
std::string Between(const std::string& low, const std::string& high) {
    return Tr({" (%1 到 %2)", " (%1 to %2)"}, {low, high});
}

// Checks a value against a range; adds the refusal when it is outside.
bool InRange(double v, double low, double high, const TextPair& what, const std::string& text,
             const TextFilter& f, std::vector<TextProblem>& errors) {
    if (v >= low && v <= high) {
        return true;
    }
    errors.push_back({f.line, About(f, Tr({"%1 %2 超出均衡器的%1范围",
                                           "the %1 %2 is outside the %1 range of the equaliser"},
                                          {what.Get(), text}))});
    return false;
}

bool CheckFrequency(const TextFilter& f, std::vector<TextProblem>& errors) {
    return InRange(f.hz, kFreqTable[0], kFreqTable[kMaxFreqCode], {"频率", "frequency"},
                   Printf("%g Hz", f.hz) + Between("19.7", "20600 Hz"), f, errors);
}

constexpr TextPair kHighPass{"高通", "high-pass"};
constexpr TextPair kLowPass{"低通", "low-pass"};

void PlanPass(const TextFilter& f, const EqElements& e, EqImportPlan& plan, bool& highUsed,
              bool& lowUsed) {
    const bool high = f.kind == TextFilterKind::HighPass;
    const std::string name = (high ? kHighPass : kLowPass).Get();
    const std::string eq = Named(plan.eqNumber);
    if ((high ? e.hpf : e.lpf) == nullptr) {
        plan.errors.push_back(
            {f.line, About(f, Tr({"%1 没有%2滤波器", "%1 has no %2 filter"}, {eq, name}))});
        return;
    }
    bool& used = high ? highUsed : lowUsed;
    if (used) {
        plan.errors.push_back(
            {f.line, About(f, Tr({"第二个%1滤波器；%2 只有一个", "a second %1 filter; %2 has one"},
                                 {name, eq}))});
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
                {f.line,
                 About(f, Tr({"%1 Q %2 不对应均衡器%1滤波器的任何斜率 (二阶: Q 0.5 "
                              "Linkwitz-Riley, 0.577 Bessel, 0.707 Butterworth)",
                              "%1 Q %2 matches no slope of the equaliser's %1 (second-order: Q "
                              "0.5 Linkwitz-Riley, 0.577 Bessel, 0.707 Butterworth)"},
                             {name, Printf("%.3g", f.q)}))});
            return;
        }
    }
    plan.steps.push_back(step);
}

void PlanBand(const TextFilter& f, int band, bool dynamic, EqImportPlan& plan) {
    const int lowest = dynamic ? kDynamicLowestGainCode : 0;
    const int highest = dynamic ? kDynamicHighestGainCode : kMaxGainCode;
    bool ok = CheckFrequency(f, plan.errors);
    ok = InRange(f.gainDb, CodeToGain(lowest), CodeToGain(highest), {"增益", "gain"},
                 Printf("%+.1f dB", f.gainDb) + Between(Printf("%+.0f", CodeToGain(lowest)),
                                                        Printf("%+.0f dB", CodeToGain(highest))),
                 f, plan.errors) &&
         ok;
    ok = InRange(f.q, kQTable[0], kQTable[kMaxQCode], {"Q", "Q"},
                 Printf("%.3g", f.q) + Between("0.4", "128"), f, plan.errors) &&
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

void NoteKeptPass(const PassFilter* p, const TextPair& name, bool set, EqImportPlan& plan) {
    if (p == nullptr || set || p->slope == 0 || p->slope > kMaxSlopeCode) {
        return;
    }
    plan.notes.push_back(
        {0, Tr({"%1滤波器 (%2，%3) 保持不变，不参与比较",
                "the %1 filter (%2 at %3) is kept as it is and left out of the comparison"},
               {name.Get(), kSlopeNames[p->slope], Hz(CodeToFreq(p->freqCode))})});
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
        plan.errors.push_back({0, Tr({"均衡器 %1 不存在", "equaliser %1 does not exist"},
                                     {std::to_string(eqNumber)})});
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
            plan.notes.push_back(
                {f.line, Tr({"%1 为 OFF，已略去：ON 的滤波器需要全部频段",
                             "%1 is OFF and left out: the ON filters need every band"},
                            {FilterName(f)})});
            continue;
        }
        if (band >= e.count) {
            plan.errors.push_back(
                {f.line, Tr({"%1 放不下：%2 有 %3 个频段，而 ON 的滤波器有 %4 个",
                             "%1 does not fit: %2 has %3 bands and %4 filters are ON"},
                            {FilterName(f), Named(eqNumber), std::to_string(e.count),
                             std::to_string(onBands)})});
            continue;
        }
        PlanBand(f, band++, e.dynamic != nullptr, plan);
    }
    if (text.hasPreamp) {
        plan.notes.push_back(
            {text.preampLine, Tr({"Preamp %1 未应用：均衡器没有自己的电平；请设置通道的电平",
                                  "Preamp %1 is not applied: the equaliser has no level of its "
                                  "own; set the channel's level"},
                                 {Db(text.preampDb)})});
    }
    NoteKeptPass(e.hpf, kHighPass, highUsed, plan);
    NoteKeptPass(e.lpf, kLowPass, lowUsed, plan);
    if (const U8* bypass = EqBypassByte(*copy, eqNumber);
        bypass != nullptr && *bypass != 0 && eqNumber >= 0 && eqNumber < kEqOutputFirst) {
        plan.notes.push_back({0, Tr({"%1 已旁通；打开后频段才起作用",
                                     "%1 is bypassed; the bands work once it is switched on"},
                                    {Named(eqNumber)})});
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
        where = Tr({"频段 %1", "band %1"}, {std::to_string(s.band + 1)});
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
    text += Tr({"，增益 %1 -> %2 dB", ", Gain %1 -> %2 dB"},
               {Printf("%.1f", f.gainDb), Printf("%.1f", CodeToGain(s.gainCode))});
    if (!f.on) {
        text += Tr({" (已旁通)", " (bypassed)"});
    }
    return text;
}

}  // namespace qx
