#include "DeviceCommands.h"

#include "Qxctl.h"

namespace qx {

int CDeviceCommands::Run(CQxctl& cli, const std::string& command, const CCommandArgs&) {
    return cli.Fail(command, "this build has no serial link");
}

}  // namespace qx
