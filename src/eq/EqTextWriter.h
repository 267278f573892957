#pragma once
// Writes one equaliser as filter text that room-measurement and system-wide equaliser programs
// read: its active bands in band order (PK, LSC, HSC with Q), a bypassed band that lies before
// an active one as an OFF line so that every band keeps its place, and its pass filters as HP
// or LP lines when their slope is a single second-order section (a comment naming the slope
// otherwise). Reading the text back onto the same equaliser gives the same bytes.

#include <string>

#include "ProgramImage.h"

namespace qx {

class CEqTextWriter {
  public:
    // Output numbers 8..15 take the given scene (1..3). Empty for a number that names no
    // equaliser.
    static std::string Write(const ProgramImage& image, int eqNumber, int scene);
};

}  // namespace qx
