#include "ImageDiff.h"

#include <memory>

#include "ByteField.h"
#include "FieldCaption.h"

namespace qx {

std::string FieldDifference::Caption(bool chinese) const {
    return field != nullptr ? FieldCaption(*field, chinese) : std::string();
}

bool CImageDiff::Differs(const uint8_t* a, const uint8_t* b, const ParamField& field) {
    if (!field.IsBytes()) {
        return CParamCatalogue::Read(a, field) != CParamCatalogue::Read(b, field);
    }
    for (int i = 0; i < field.width; ++i) {
        if (LoadByte(a[field.offset + i]) != LoadByte(b[field.offset + i])) {
            return true;
        }
    }
    return false;
}

std::vector<FieldDifference> CImageDiff::Compare(const ParamImage& a, const ParamImage& b,
                                                 bool withSystem) {
    const uint8_t* pa = CParamCatalogue::Bytes(a);
    const uint8_t* pb = CParamCatalogue::Bytes(b);
    std::vector<FieldDifference> out;
    for (const ParamField& f : CParamCatalogue::Fields()) {
        if ((f.IsSystem() && !withSystem) || !Differs(pa, pb, f)) {
            continue;
        }
        FieldDifference d;
        d.field = &f;
        if (!f.IsBytes()) {
            d.before = CParamCatalogue::Read(pa, f);
            d.after = CParamCatalogue::Read(pb, f);
        }
        d.beforeText = CParamCatalogue::Display(pa, f);
        d.afterText = CParamCatalogue::Display(pb, f);
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<FieldDifference> CImageDiff::ComparePrograms(const ProgramImage& a,
                                                         const ProgramImage& b) {
    // Whole images on the heap with equal system blocks, so that only the programs count.
    auto ia = std::make_unique<ParamImage>();
    auto ib = std::make_unique<ParamImage>();
    AtomicCopy(&ia->program, &a, sizeof(ProgramImage));
    AtomicCopy(&ib->program, &b, sizeof(ProgramImage));
    return Compare(*ia, *ib, false);
}

}  // namespace qx
