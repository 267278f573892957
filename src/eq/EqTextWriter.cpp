#include "EqTextWriter.h"

#include <cstdio>
#include <memory>

#include "CurveSets.h"
#include "DataConver.h"
#include "EqTextImport.h"
#include "Filter.h"
#include "LabelRules.h"
#include "ParameterSet.h"

namespace qx {

namespace {

std::string Printf(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// A table frequency exactly as the table holds it.
std::string Hz(int code) {
    const double hz = CodeToFreq(code);
    return Printf(hz < 101.0 ? "%.1f" : "%.0f", hz);
}

const char* BandWord(int type) {
    switch (type) {
        case kTypeLowShelf:
            return "LSC";
        case kTypeHighShelf:
            return "HSC";
        default:
            return "PK";
    }
}

// The pass-filter line of a slope code made of one second-order section, empty otherwise.
std::string PassLine(const PassFilter& p, bool high) {
    const std::string fc = " Fc " + Hz(p.freqCode) + " Hz";
    const char* q = nullptr;
    switch (p.slope) {
        case 3:  // Butterworth: the plain type has this Q
            return std::string(high ? "HP" : "LP") + fc;
        case 2:
            q = "0.5773";
            break;
        case 4:
            q = "0.5";
            break;
        default:
            return {};
    }
    return std::string(high ? "HPQ" : "LPQ") + fc + " Q " + q;
}

}  // namespace

std::string CEqTextWriter::Write(const ProgramImage& image, int eqNumber, int scene) {
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &image, sizeof(ProgramImage));
    const EqElements e = EqElementsOf(*copy, eqNumber, scene);
    if (e.count == 0) {
        return {};
    }
    std::string text = "# " + EqName(eqNumber) + " (equaliser " + std::to_string(eqNumber) +
                       (eqNumber >= kEqOutputFirst && eqNumber <= kEqOutputLast
                            ? ", scene " + std::to_string(scene)
                            : std::string()) +
                       "), " + std::to_string(e.count) + " bands\n";
    int last = -1;
    for (int b = 0; b < e.count; ++b) {
        const int type = e.Band(b)->type;
        if (type >= kTypePeaking && type <= kTypeHighShelf) {
            last = b;
        }
    }
    int number = 0;
    for (int b = 0; b <= last; ++b) {
        const EqBand& band = *e.Band(b);
        const int type = band.type;
        if (type > kTypeHighShelf) {
            text += "# band " + std::to_string(b + 1) + " has an unknown type (" +
                    std::to_string(type) + ")\n";
            continue;
        }
        text += "Filter " + std::to_string(++number) + ": " +
                (type == kTypeBypass ? "OFF " : "ON ") + BandWord(type) + " Fc " +
                Hz(band.freqCode) + " Hz Gain " + Printf("%.1f", CodeToGain(band.gainCode)) +
                " dB Q " + Printf("%.2f", CodeToQ(band.qCode)) + "\n";
    }
    const struct {
        const PassFilter* p;
        bool high;
    } passes[] = {{e.hpf, true}, {e.lpf, false}};
    for (const auto& [p, high] : passes) {
        if (p == nullptr || p->slope == 0) {
            continue;
        }
        const std::string line = PassLine(*p, high);
        if (!line.empty()) {
            text += "Filter " + std::to_string(++number) + ": ON " + line + "\n";
        } else if (p->slope <= kMaxSlopeCode) {
            text += std::string("# ") + (high ? "High-pass " : "Low-pass ") +
                    kSlopeNames[p->slope] + " at " + Hz(p->freqCode) +
                    " Hz: not a second-order filter; set it on the page\n";
        }
    }
    return text;
}

}  // namespace qx
