#include "VolumeClamps.h"

#include "ParamCatalogue.h"

namespace qx {

namespace {

struct Pair {
    const char* volume;
    const char* maximum;
};
constexpr Pair kPairs[] = {
    {"System.musicVolume", "System.musicMax"},
    {"System.micVolume", "System.micMax"},
    {"System.effectVolume", "System.effectMax"},
};

}  // namespace

CVolumeClamps::CVolumeClamps(CImageModel& model, QObject* parent)
    : QObject(parent), m_model(model) {
    connect(&model, &CImageModel::Written, this, &CVolumeClamps::OnWritten);
}

void CVolumeClamps::OnWritten(const ImageRange& range, const ChangeOrigin& origin) {
    if (origin.source != ChangeSource::Control) {
        return;
    }
    const uint8_t* image = CParamCatalogue::Bytes(m_model.Image());
    for (const Pair& p : kPairs) {
        const ParamField* volume = CParamCatalogue::Find(p.volume);
        const ParamField* maximum = CParamCatalogue::Find(p.maximum);
        if (volume == nullptr || maximum == nullptr ||
            !range.Overlaps(static_cast<std::size_t>(maximum->offset),
                            static_cast<std::size_t>(maximum->width))) {
            continue;
        }
        const uint32_t limit = CParamCatalogue::Read(image, *maximum);
        if (CParamCatalogue::Read(image, *volume) > limit) {
            m_model.WriteFieldByte(*volume, static_cast<uint8_t>(limit),
                                   ChangeOrigin::FromRule("volume limit"));
        }
    }
}

}  // namespace qx
