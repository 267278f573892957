#pragma once
// The fields in which two parameter images differ, each with both codes and both values as a
// person reads them. `qxctl diff`, the differences view (A against B, the editor against a
// program file or a stored program) and the copy preview all list differences through it.

#include <cstdint>
#include <string>
#include <vector>

#include "ParamCatalogue.h"
#include "ProgramImage.h"

namespace qx {

struct FieldDifference {
    const ParamField* field = nullptr;
    uint32_t before = 0;  // codes of numeric fields; 0 for text and byte fields
    uint32_t after = 0;
    std::string beforeText;  // as the catalogue shows the value
    std::string afterText;

    // The field as a person names it, in the language asked for.
    std::string Caption(bool chinese) const;
};

class CImageDiff {
  public:
    // Every catalogue field whose value differs between a and b, in catalogue order: the
    // program fields, then (with withSystem) the system block's.
    static std::vector<FieldDifference> Compare(const ParamImage& a, const ParamImage& b,
                                                bool withSystem);
    // The program fields of two programs alone.
    static std::vector<FieldDifference> ComparePrograms(const ProgramImage& a,
                                                        const ProgramImage& b);
    // Whether one field differs: codes for numeric fields, every byte for text and bytes.
    static bool Differs(const uint8_t* a, const uint8_t* b, const ParamField& field);
};

}  // namespace qx
