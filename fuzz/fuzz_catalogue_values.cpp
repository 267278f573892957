// Typed values for the catalogue's fields ("1.2kHz", "-3dB", "12.5ms", "OFF", "hex:41 42", ...).
// The first two input bytes choose the field, the rest is the text. A value taken for a field
// lies in the field's range, lands in the image as parsed and touches no other bit, and the
// text the catalogue shows for it reads back as a value shown the same way.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "ParamCatalogue.h"

using namespace qx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<ParamField>& fields = CParamCatalogue::Fields();
    if (size < 2) {
        return 0;
    }
    const ParamField& field = fields[(data[0] | (data[1] << 8)) % fields.size()];
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    ParsedValue value;
    std::string error;
    if (!CParamCatalogue::Parse(field, text, value, error)) {
        QX_FUZZ_CHECK(!error.empty());
        return 0;
    }

    static ParamImage image;
    static ParamImage before;
    std::memset(&image, 0x5A, sizeof image);
    std::memcpy(&before, &image, sizeof image);
    uint8_t* bytes = CParamCatalogue::Bytes(image);
    CParamCatalogue::Apply(bytes, field, value);
    const uint8_t* original = CParamCatalogue::Bytes(before);
    for (int i = 0; i < static_cast<int>(sizeof image); ++i) {
        if (i < field.offset || i >= field.offset + field.width) {
            QX_FUZZ_CHECK(bytes[i] == original[i]);
        } else if (field.mask != 0) {
            QX_FUZZ_CHECK((bytes[i] & ~field.mask) == (original[i] & ~field.mask));
        }
    }

    if (field.IsBytes()) {
        QX_FUZZ_CHECK(static_cast<int>(value.bytes.size()) == field.width);
        QX_FUZZ_CHECK(std::memcmp(bytes + field.offset, value.bytes.data(), value.bytes.size()) ==
                      0);
        return 0;
    }
    QX_FUZZ_CHECK(static_cast<long>(value.code) >= field.minimum &&
                  static_cast<long>(value.code) <= field.maximum);
    QX_FUZZ_CHECK(CParamCatalogue::Read(bytes, field) == value.code);

    // A shown text that is a bare whole number (a Q of 6, say) is read as a code: the rule
    // for typed values. Every other shown text reads back as a value shown the same way.
    const std::string shown = CParamCatalogue::DisplayCode(field, value.code);
    if (std::all_of(shown.begin(), shown.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    ParsedValue back;
    QX_FUZZ_CHECK(CParamCatalogue::Parse(field, shown, back, error));
    QX_FUZZ_CHECK(CParamCatalogue::DisplayCode(field, back.code) == shown);
    return 0;
}
