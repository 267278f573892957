#pragma once
// qxctl simulate: a virtual processor on a pseudo-terminal, with qx-sim's options.

#include <string>
#include <vector>

namespace qx {

class CQxctl;

class CSimulateCommand {
  public:
    // Serves until SIGINT or SIGTERM; prints the terminal's path on the first line.
    static int Run(CQxctl& cli, const std::vector<std::string>& args);
};

}  // namespace qx
