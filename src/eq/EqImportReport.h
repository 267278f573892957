#pragma once
// What the editor tells a person about a planned filter import, in the language in force:
// the refusals with their line numbers, or what each filter becomes, the notes and how far
// the equaliser's response is from the text's.

#include <string>

#include "EqTextImport.h"

namespace qx {

// "line 3: " before what a line of a text says; nothing for line 0 (the text as a whole).
std::string LinePrefix(int line);

// One note of a plan, with its line: "note: line 3: Preamp -3.0 dB is not applied...".
std::string NoteLine(const TextProblem& note);

// A refused plan: one line per refusal, then that nothing was changed.
std::string ImportRefusalText(const EqImportPlan& plan);

// A plan that can be applied: its steps, its notes and the largest deviation.
std::string ImportSummaryText(const EqImportPlan& plan);

}  // namespace qx
