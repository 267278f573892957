#pragma once
// Program images as JSON, field by field through the parameter catalogue:
//   {"format": "qx-program", "fields": {"name": "Party               ", ...}}
// Numeric fields carry their stored code, text fields their exact characters (or "hex:..."
// when a byte is not printable), byte fields hex. Reading back gives the same bytes.

#include <string>

#include "ProgramImage.h"

namespace qx {

class CJsonImage {
  public:
    static std::string ToJson(const ParamImage& image);
    // Every catalogue field must be present once and nothing else, each code within its
    // field's range (with keepAnyCode, anything the field's bytes can hold); a text field
    // shorter than its width is padded with spaces. False with a reason.
    static bool FromJson(const std::string& text, ParamImage& image, std::string& error,
                         bool keepAnyCode = false);

    // A JSON string literal of printable ASCII text (quotes and backslashes escaped).
    static std::string Quote(const std::string& text);
};

}  // namespace qx
