#pragma once
// Debian's ser2net serving pseudo-terminals on 127.0.0.1, for tests, benchmarks and the demo:
// each line gets a free TCP port, raw or RFC 2217, from a generated configuration; the server
// runs in the foreground as a child process and is stopped (or killed, to play a server that
// goes away) on request.

#include <sys/types.h>
#include <string>
#include <vector>

namespace qx {

class CSer2netBridge {
  public:
    struct Line {
        std::string device;  // the pseudo-terminal's path
        bool rfc2217 = false;
        int port = 0;  // filled by Start
        std::string Address() const;
    };

    CSer2netBridge() = default;
    ~CSer2netBridge();
    CSer2netBridge(const CSer2netBridge&) = delete;
    CSer2netBridge& operator=(const CSer2netBridge&) = delete;

    // The ser2net program, or empty when it is not installed.
    static std::string Program();
    // Writes the configuration into folder, starts ser2net and waits until every port
    // accepts connections. False with the reason in error.
    bool Start(std::vector<Line> lines, const std::string& folder, std::string& error);
    // Ends the server at once (SIGKILL): its connections drop as if the box lost power.
    void Kill();
    void Stop();
    const std::vector<Line>& Lines() const { return m_lines; }

  private:
    std::vector<Line> m_lines;
    pid_t m_pid = -1;
};

}  // namespace qx
