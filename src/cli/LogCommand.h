#pragma once
// qxctl log: prints the audit log readably, oldest first, filtered by room, time and field.

#include "CommandArgs.h"

namespace qx {

class CQxctl;

class CLogCommand {
  public:
    static int Run(CQxctl& cli, const CCommandArgs& args);
};

}  // namespace qx
