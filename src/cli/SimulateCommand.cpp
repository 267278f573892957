#include "SimulateCommand.h"

#include <ostream>

#include "QxVersion.h"
#include "Qxctl.h"
#include "SimCommandLine.h"

namespace qx {

int CSimulateCommand::Run(CQxctl& cli, const std::vector<std::string>& args) {
    CSimCommandLine line;
    std::string error;
    switch (line.Parse(args, error)) {
        case CSimCommandLine::Action::Help:
            cli.Out() << CSimCommandLine::HelpText("qxctl simulate");
            return 0;
        case CSimCommandLine::Action::Version:
            cli.Out() << "qxctl " << kQxVersion << "\n";
            return 0;
        case CSimCommandLine::Action::Usage:
            return cli.Fail("simulate", error + " (see qxctl simulate --help)", 2);
        case CSimCommandLine::Action::Serve:
            break;
    }
    return line.Serve(cli.Out(), cli.Err(), "qxctl: simulate");
}

}  // namespace qx
