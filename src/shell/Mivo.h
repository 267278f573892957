#pragma once
// The application: reads the command line, resets the parameter image to its start-up
// defaults, builds the curve sets and file folders, picks the language and runs the main
// window until it closes. With --simulate a virtual processor is served in-process on a
// pseudo-terminal and probed first.

#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

namespace qx {

class CVirtualProcessor;
class CPtyServer;

class CMivoApp {
  public:
    struct CommandLine {
        bool simulate = false;
        QStringList ports;  // --port PATH, probed first, in the order given
        QString fleet;      // --fleet FILE with --room NAME: that room's port first
        QString room;
        int language = -1;     // --lang: -1 from the locale, 0 English, 1 Chinese
        QString screenshot;    // --screenshot FILE: write the window to FILE once settled, quit
        int tab = -1;          // --tab N: the tab to show (0..9) instead of the System tab
        bool measure = false;  // --measure: print first paint and resident memory, quit
        QSize size;            // --size WxH: the window's size once shown
        bool help = false;
        bool version = false;
        QString error;  // a wrong command line: what is wrong
    };

    static CommandLine Parse(const QStringList& arguments);
    // Puts the port of --room of --fleet ahead of the ports, or says what is wrong.
    static void TakeFleetRoom(CommandLine& c);
    static QString Usage();
    static QString VersionLine();

    CMivoApp();
    ~CMivoApp();

    // Everything before the main window shows: defaults, curve sets, folders, language, the
    // in-process virtual processor. Returns false with a reason when that cannot start.
    bool InitInstance(const CommandLine& commandLine, QString& error);
    // Shows the main window and runs until it closes; returns the exit code.
    int Run();
    // Stops the virtual processor.
    void ExitInstance();

    // The path of the in-process virtual processor ("" without --simulate).
    QString SimulatorPath() const;

  private:
    CommandLine m_commandLine;
    std::unique_ptr<CVirtualProcessor> m_processor;
    std::unique_ptr<CPtyServer> m_server;
};

}  // namespace qx
