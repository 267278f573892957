#pragma once
// qxctl's commands that talk to the processor over the serial link: ports, probe, pull, push,
// bank-pull, bank-push, recall, store, set, and simulate.

#include <string>
#include <vector>

#include "CommandArgs.h"

namespace qx {

class CQxctl;

class CDeviceCommands {
  public:
    static int Run(CQxctl& cli, const std::string& command, const CCommandArgs& args);
};

}  // namespace qx
