#pragma once
// A room fit on one equaliser of a program image: what the fit starts from (the equaliser's
// bands in codes, its pass filters as what stays, the dynamic bands' narrower gains) and the
// fitted bands written back into the records.

#include "ProgramImage.h"
#include "RoomFit.h"

namespace qx {

class CRoomFitImage {
  public:
    // The fit's input for equaliser eqNumber of image (output numbers take the given scene),
    // with the measurement and the target on the grid. Empty `current` for a number that names
    // no equaliser.
    static FitInput Input(const ProgramImage& image, int eqNumber, int scene,
                          const GridCurve& measurement, const GridCurve& target);
    // The record a fitted band becomes: the band's codes and type; a bypassed band keeps the
    // frequency and Q it had.
    static EqBand Record(const FitBand& band, const EqBand& old);
    // Writes every band of a result into the equaliser's records; false (nothing written) when
    // the result does not have the equaliser's band count.
    static bool Apply(const FitResult& result, ProgramImage& image, int eqNumber, int scene);
};

}  // namespace qx
