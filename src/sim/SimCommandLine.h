#pragma once
// The virtual processor's command line, shared by qx-sim and `qxctl simulate` so that both take
// the same options, describe them with the same defaults and refuse the same bad values.

#include <iosfwd>
#include <string>
#include <vector>

#include "SimOptions.h"

namespace qx {

class CSimCommandLine {
  public:
    enum class Action { Serve, Help, Version, Usage };

    // Parses the words after the program (or command) name: "--name value" or "--name=value".
    // Usage comes with a one-line reason in error.
    Action Parse(const std::vector<std::string>& args, std::string& error);

    // The text of --help after "Usage: <command> [options]", defaults taken from SimOptions.
    static std::string HelpText(const std::string& command);

    // Starts the virtual processor on a pseudo-terminal, prints the terminal's path on out and
    // serves until SIGINT or SIGTERM arrives. Failures are one line "<who>: ..." on err and
    // exit code 1.
    int Serve(std::ostream& out, std::ostream& err, const std::string& who) const;

    const SimOptions& Options() const { return m_options; }
    const std::string& BankPath() const { return m_bank; }

  private:
    SimOptions m_options;
    std::string m_bank;
};

}  // namespace qx
