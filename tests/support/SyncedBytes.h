#pragma once
// Which bytes of a ParamImage the synchroniser carries, for tests that edit random fields.

#include <vector>

#include "ProgramImage.h"

namespace qxtest {

// Offsets of bytes that never reach the processor through parameter frames, plus the filters'
// kind bytes (fixed by the layout: the processor tells a high-pass from a low-pass by them) and
// OutputMode (tests change it through the scene selector).
std::vector<int> FixedOffsets();

// Every other offset: bytes a test may set to any value.
std::vector<int> EditableOffsets();

// True when off lies in an output scene other than the one in force.
bool InOtherScene(int off, int scene);

}  // namespace qxtest
