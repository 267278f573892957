// qx-sim: a virtual processor on a pseudo-terminal. Prints the terminal's path and answers the
// editor's frames until it is stopped (Ctrl+C).

#include <iostream>
#include <string>
#include <vector>

#include "QxVersion.h"
#include "SimCommandLine.h"

int main(int argc, char** argv) {
    using namespace qx;
    CSimCommandLine line;
    std::string error;
    switch (line.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        case CSimCommandLine::Action::Help:
            std::cout << CSimCommandLine::HelpText("qx-sim");
            return 0;
        case CSimCommandLine::Action::Version:
            std::cout << "qx-sim " << kQxVersion << "\n";
            return 0;
        case CSimCommandLine::Action::Usage:
            std::cerr << "qx-sim: " << error << " (see qx-sim --help)\n";
            return 2;
        case CSimCommandLine::Action::Serve:
            break;
    }
    return line.Serve(std::cout, std::cerr, "qx-sim");
}
