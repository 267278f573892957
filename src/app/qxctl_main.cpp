// qxctl: the command-line tool for the processor and its program files.

#include <QCoreApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "Qxctl.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    qx::CQxctl cli(std::cout, std::cerr);
    // A fleet run hands its test timing on to the rooms' workers.
    if (const char* t = std::getenv("QX_LINK_TIMING"); t != nullptr && std::string(t) == "fast") {
        cli.SetLinkTiming(qx::LinkTiming::Fast());
    }
    return cli.Run(args);
}
