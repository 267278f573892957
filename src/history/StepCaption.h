#pragma once
// What a step of the history is called: the one field it changed with both values ("Music
// Left band 5 gain -3.0dB → +2.4dB"), or the step's own label with the number of fields it
// changed ("SYNC (48 fields)"), or why it is a wall undo does not cross. Kept as data, so the
// text follows a change of language.

#include <cstdint>
#include <string>

#include "ParamCatalogue.h"
#include "StepBytes.h"

namespace qx {

struct StepCaption {
    enum class Kind : uint8_t { Field, Fields, Received };

    Kind kind = Kind::Fields;
    const ParamField* field = nullptr;  // the one field, or the first of several
    uint32_t before = 0;
    uint32_t after = 0;
    int fieldCount = 0;
    std::string label;  // the step's label as its maker gave it

    // The caption of a step whose runs were written into `after` (the image as it is after
    // the step): the fields the runs touch whose codes differ.
    static StepCaption Of(const StepRuns& runs, const ParamImage& after, std::string label);
    static StepCaption Received();

    std::string Text(bool chinese) const;
};

}  // namespace qx
