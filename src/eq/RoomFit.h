#pragma once
// Fits an equaliser's bands to a room: chooses band types, frequency codes, Q codes and gain
// codes so that the measurement plus the equaliser comes closest to the target over a range
// of frequencies. Every candidate is judged in the codes the processor takes, with the same
// band response as the curve view draws, so the result is exactly what the processor does.
//
// The fit works in three steps: bands are placed one by one on the largest remaining
// deviation; their free values (hertz, dB, Q) are then optimised together (NLopt, L-BFGS
// within bounds); the result is taken to the nearest codes and a search over the codes
// themselves (pattern moves, neighbouring codes together, the allowed types) improves it until
// no move helps. The deviation is measured with the target's level matched to the result's
// over the range (the room's absolute level is the channel's business, not the equaliser's).

#include <functional>
#include <string>
#include <vector>

#include "Filter.h"
#include "RoomCurve.h"

namespace qx {

// One band in the processor's codes.
struct FitBand {
    int type = kTypeBypass;
    int freqCode = 0;
    int gainCode = 120;
    int qCode = 0;

    bool operator==(const FitBand&) const = default;
};

struct FitOptions {
    double lowHz = 20.0;
    double highHz = 500.0;
    int maxBands = 0;          // 0: every band the fit may use
    double maxBoostDb = 24.0;  // 0: cuts only
    bool allowPeaking = true;
    bool allowLowShelf = true;
    bool allowHighShelf = true;
    bool keepBands = false;  // bands already set stay; the fit uses the bypassed ones

    bool Allows(int type) const;
};

struct FitInput {
    GridCurve measurement{};       // NaN where not measured
    GridCurve target{};            // finite everywhere the fit looks
    std::vector<FitBand> current;  // the equaliser's bands as they are, one per band
    CFilter::Response fixed{};     // what stays: the pass filters in front of the bands
    int lowestGainCode = 0;        // 60 for the dynamic bands
    int highestGainCode = 240;     // 180 for the dynamic bands
};

// The deviation of a predicted response from the target over the range.
struct FitError {
    double rmsDb = 0.0;
    double worstDb = 0.0;
    double worstHz = 0.0;
    int points = 0;  // grid points measured inside the range
};

struct FitResult {
    std::vector<FitBand> bands;    // one per band of the equaliser: the fitted, kept and bypassed
    std::vector<bool> fitted;      // which of them the fit set
    FitError before;               // the equaliser as it is
    FitError after;                // the fitted bands
    double continuousRmsDb = 0.0;  // the free optimum before it was taken to codes
    bool cancelled = false;
    std::string error;  // why no fit was made (no measured point in the range, ...)

    bool Ok() const { return error.empty() && !cancelled; }
};

class CRoomFit {
  public:
    // Told the share done (0..1), or a negative share when the fit only asks whether to go on;
    // returning false cancels the fit. Called from the thread the fit runs on.
    using Progress = std::function<bool(double done)>;

    static FitResult Run(const FitInput& input, const FitOptions& options,
                         const Progress& progress = {});
    // The deviation of measurement + fixed + bands from the target over the options' range.
    static FitError Evaluate(const FitInput& input, const std::vector<FitBand>& bands,
                             const FitOptions& options);
    // The predicted response (measurement + fixed + bands) on the grid; NaN where unmeasured.
    static GridCurve Predicted(const FitInput& input, const std::vector<FitBand>& bands);
    // "PK  63.0 Hz  Q 4.0  -5.0 dB", "--" for a bypassed band.
    static std::string Describe(const FitBand& band);
};

}  // namespace qx
