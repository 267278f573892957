// qx-editor: the desktop editor.

#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "Mivo.h"

int main(int argc, char** argv) {
    // The command line is read before any window system is needed: --help and --version work
    // without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const qx::CMivoApp::CommandLine commandLine = qx::CMivoApp::Parse(arguments);
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "qx-editor: %s\n%s", qPrintable(commandLine.error),
                     qPrintable(qx::CMivoApp::Usage()));
        return 2;
    }
    if (commandLine.help) {
        std::printf("%s", qPrintable(qx::CMivoApp::Usage()));
        return 0;
    }
    if (commandLine.version) {
        std::printf("%s\n", qPrintable(qx::CMivoApp::VersionLine()));
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qx-editor"));
    qx::CMivoApp mivo;
    QString error;
    if (!mivo.InitInstance(commandLine, error)) {
        std::fprintf(stderr, "qx-editor: %s\n", qPrintable(error));
        return 1;
    }
    const int code = mivo.Run();
    mivo.ExitInstance();
    return code;
}
