#include "RangeClamp.h"

#include <cstdint>

#include "ParamCatalogue.h"

namespace qx {

int ClampToRanges(ParamImage& image, bool withSystem) {
    int changed = 0;
    uint8_t* bytes = CParamCatalogue::Bytes(image);
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if ((!withSystem && f.IsSystem()) || CParamCatalogue::InRange(bytes, f)) {
            continue;
        }
        const auto code = static_cast<int64_t>(CParamCatalogue::Read(bytes, f));
        ParsedValue v;
        v.code = static_cast<uint32_t>(code < f.minimum ? f.minimum : f.maximum);
        CParamCatalogue::Apply(bytes, f, v);
        ++changed;
    }
    return changed;
}

}  // namespace qx
