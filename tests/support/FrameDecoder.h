#pragma once
// An independent reader of parameter frames, written straight from the command tables, used
// to check what the synchroniser sends. It applies one frame to an image the way the processor
// would, and reports frames it cannot place.

#include <cstdint>
#include <string>

#include "ProgramImage.h"

namespace qxtest {

// Applies the parameter frame in bytes (header included) to img, with scene (1..3) in force.
// Returns an empty string on success, otherwise what was wrong with the frame.
std::string ApplyParameterFrame(qx::ParamImage& img, int scene, const uint8_t* bytes);

}  // namespace qxtest
