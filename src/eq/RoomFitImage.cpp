#include "RoomFitImage.h"

#include <memory>

#include "CurveSets.h"
#include "ParameterSet.h"

namespace qx {

namespace {

constexpr int kDynamicLowestGainCode = 60;  // the dynamic bands work within +-12 dB
constexpr int kDynamicHighestGainCode = 180;

FitBand FromRecord(const EqBand& b) {
    FitBand f;
    f.type = b.type;
    f.freqCode = b.freqCode;
    f.gainCode = b.gainCode;
    f.qCode = b.qCode;
    // A damaged type counts as bypassed: the fit neither keeps nor reads it.
    if (f.type > kTypeHighShelf) {
        f.type = kTypeBypass;
    }
    return f;
}

}  // namespace

FitInput CRoomFitImage::Input(const ProgramImage& image, int eqNumber, int scene,
                              const GridCurve& measurement, const GridCurve& target) {
    FitInput in;
    in.measurement = measurement;
    in.target = target;
    auto copy = std::make_unique<ProgramImage>();
    AtomicCopy(copy.get(), &image, sizeof(ProgramImage));
    const EqElements e = EqElementsOf(*copy, eqNumber, scene);
    for (int b = 0; b < e.count; ++b) {
        in.current.push_back(FromRecord(*e.Band(b)));
    }
    if (e.dynamic != nullptr) {
        in.lowestGainCode = kDynamicLowestGainCode;
        in.highestGainCode = kDynamicHighestGainCode;
    }
    for (PassFilter* p : {e.hpf, e.lpf}) {
        if (p == nullptr) {
            continue;
        }
        CFilter f;
        f.SetType(p == e.hpf ? kTypeHighPass : kTypeLowPass);
        f.AttachPassFilter(p);
        for (int g = 0; g < kGridPoints; ++g) {
            in.fixed[g] += f.GetResponse()[g];
        }
    }
    return in;
}

EqBand CRoomFitImage::Record(const FitBand& band, const EqBand& old) {
    EqBand r;
    AtomicCopy(&r, &old, sizeof(EqBand));
    r.type = static_cast<uint8_t>(band.type);
    r.gainCode = static_cast<uint8_t>(band.gainCode);
    if (band.type != kTypeBypass) {
        r.freqCode = static_cast<uint16_t>(band.freqCode);
        r.qCode = static_cast<uint8_t>(band.qCode);
    }
    return r;
}

bool CRoomFitImage::Apply(const FitResult& result, ProgramImage& image, int eqNumber, int scene) {
    const EqElements e = EqElementsOf(image, eqNumber, scene);
    if (e.count == 0 || static_cast<std::size_t>(e.count) != result.bands.size()) {
        return false;
    }
    for (int b = 0; b < e.count; ++b) {
        const EqBand r = Record(result.bands[static_cast<std::size_t>(b)], *e.Band(b));
        AtomicCopy(e.Band(b), &r, sizeof(EqBand));
    }
    return true;
}

}  // namespace qx
