#pragma once
// Bringing an image's fields back into their ranges: what a file confirmed despite values
// outside their ranges holds once loaded, so that what a person sees is what the processor
// is sent.

#include "ProgramImage.h"

namespace qx {

// Every numeric catalogue field outside its range goes to the nearest end of the range
// (other bits of a bit field kept); program fields only when withSystem is false. Returns
// how many fields were changed.
int ClampToRanges(ParamImage& image, bool withSystem = true);

}  // namespace qx
