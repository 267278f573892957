#pragma once
// qxctl curve: the total response of one equaliser of a program file, as CSV.

#include "CommandArgs.h"

namespace qx {

class CQxctl;

class CCurveCommand {
  public:
    static int Run(CQxctl& cli, const CCommandArgs& args);
};

}  // namespace qx
