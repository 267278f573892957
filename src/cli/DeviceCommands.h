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
    // qxctl simulate: the virtual processor, with qx-sim's own arguments.
    static int Simulate(CQxctl& cli, const std::vector<std::string>& args);
};

}  // namespace qx
