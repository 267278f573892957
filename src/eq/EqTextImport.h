#pragma once
// Puts the filters of a filter text onto one equaliser: each filter on the next band with the
// nearest frequency, gain and Q codes, high-pass and low-pass filters on the equaliser's own
// pass filters, and the bands left over bypassed. A plan is made first and holds every
// refusal; a plan with refusals is never applied, so nothing is half done.

#include <string>
#include <vector>

#include "FilterText.h"
#include "ProgramImage.h"

namespace qx {

// Where one filter of the text goes and the codes it gets there.
struct EqImportStep {
    enum class Target { Band, HighPass, LowPass };
    TextFilter filter;
    Target target = Target::Band;
    int band = 0;  // 0-based, for Target::Band
    int freqCode = 0;
    int gainCode = 0;
    int qCode = 0;
    int type = 0;   // band type 0..3 (0 for an OFF filter)
    int slope = 0;  // pass-filter slope code (0 for an OFF filter)
};

struct EqImportPlan {
    int eqNumber = 0;
    int scene = 0;
    int bandCount = 0;
    std::vector<EqImportStep> steps;
    std::vector<TextProblem> errors;  // any of these refuses the whole import
    std::vector<TextProblem> notes;   // told to the user, nothing refused
    // Largest difference between the response the text asks for and the response of what the
    // equaliser gets (its bands and the pass filters the text sets), on the display grid.
    double maxDeviationDb = 0.0;
    double deviationHz = 0.0;

    bool Ok() const { return errors.empty(); }
};

class CEqTextImport {
  public:
    // Plans the import; image is only read. Output numbers 8..15 take the given scene (1..3).
    static EqImportPlan Plan(const FilterText& text, const ProgramImage& image, int eqNumber,
                             int scene);
    // Writes a plan without errors into image; false (and nothing written) otherwise.
    static bool Apply(const EqImportPlan& plan, ProgramImage& image);
    // What was asked and what the equaliser gets, e.g.
    // "band 1  PK  Fc 63.0 Hz -> 62.5 Hz, Q 4.00 -> 4.0, Gain -5.0 -> -5.0 dB".
    static std::string Describe(const EqImportStep& step);
};

// The equaliser's name for messages ("MusicLeft", "Output MainL", "Dynamic EQ right").
std::string EqName(int eqNumber);

}  // namespace qx
