#pragma once
// How a person names a field of the catalogue, as the pages name it: "Music Left band 5 gain",
// "Mic 2 limiter attack", "Scene Disco SUB delay", in the language in force. Undo labels, the
// differences view, `qxctl diff` and the audit log all name fields through these functions.

#include <string>

#include "ParamCatalogue.h"
#include "TextPair.h"

namespace qx {

// The field's name as a person reads it, in the language asked for.
std::string FieldCaption(const ParamField& field, bool chinese);
inline std::string FieldCaption(const ParamField& field) {
    return FieldCaption(field, useChinese);
}

// One change of a field: "Music Left band 5 gain -3.0dB → +2.4dB".
std::string FieldChangeText(const ParamField& field, uint32_t before, uint32_t after, bool chinese);

}  // namespace qx
