#pragma once
// qxctl eq-fit: fits an equaliser of a program file or of the processor to a room measurement,
// in the processor's codes, and prints the bands and the deviation before and after.

#include "CommandArgs.h"

namespace qx {

class CQxctl;

class CEqFitCommand {
  public:
    static int Run(CQxctl& cli, const CCommandArgs& args);
    // The usage line and help text for qxctl's command list.
    static const char* Usage();
    static const char* Help();
};

}  // namespace qx
