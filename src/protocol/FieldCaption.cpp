#include "FieldCaption.h"

#include "TextPair.h"

namespace qx {

std::string FieldCaption(const ParamField& field, bool /*chinese*/) {
    return field.name;
}

std::string FieldChangeText(const ParamField& field, uint32_t before, uint32_t after,
                            bool chinese) {
    return FieldCaption(field, chinese) + " " + CParamCatalogue::DisplayCode(field, before) +
           " \u2192 " + CParamCatalogue::DisplayCode(field, after);
}

}  // namespace qx
