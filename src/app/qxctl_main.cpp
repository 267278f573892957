// qxctl: the command-line tool for the processor and its program files.

#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "Qxctl.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    qx::CQxctl cli(std::cout, std::cerr);
    return cli.Run(args);
}
