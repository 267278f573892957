#pragma once
// The search over the processor's codes that finishes a room fit: from bands already in codes,
// moves of one band's frequency, gain or Q code by shrinking steps, of all three by one code
// together, and to the other allowed types, each taken when it lowers the deviation, until
// none does. Every band it returns is within the limits.

#include <vector>

#include "DataConver.h"
#include "FitSpace.h"

namespace qx {

// The codes a fit may choose.
struct FitCodeLimits {
    int lowFreq = 0;
    int highFreq = kMaxFreqCode;
    int lowGain = 0;
    int highGain = kMaxGainCode;
    int highShelfQ = kMaxQCode;

    int HighQ(int type) const { return type == kTypePeaking ? kMaxQCode : highShelfQ; }
};

class CFitCodeSearch {
  public:
    // Improves bands in place; false when the progress asked to stop.
    static bool Run(const CFitSpace& space, const FitOptions& options, const FitCodeLimits& limits,
                    std::vector<FitBand>& bands, const CRoomFit::Progress& progress);
};

}  // namespace qx
