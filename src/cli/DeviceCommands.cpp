#include "DeviceCommands.h"

#include "Qxctl.h"

namespace qx {

int CDeviceCommands::Run(CQxctl& cli, const std::string& command, const CCommandArgs&) {
    return cli.Fail(command, "this build has no serial link");
}

int CDeviceCommands::Simulate(CQxctl& cli, const std::vector<std::string>&) {
    return cli.Fail("simulate", "this build has no virtual processor");
}

}  // namespace qx
