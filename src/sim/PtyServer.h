#pragma once
// Serves a virtual processor on a POSIX pseudo-terminal in raw mode: the editor opens the
// terminal's path like a serial port. The server answers each request no earlier than the
// request and the reply could have crossed a 115200-baud line, plus the processor's own time.

#include <atomic>
#include <string>
#include <thread>

#include "VirtualProcessor.h"

namespace qx {

class CPtyServer {
  public:
    explicit CPtyServer(CVirtualProcessor& processor);
    ~CPtyServer();
    CPtyServer(const CPtyServer&) = delete;
    CPtyServer& operator=(const CPtyServer&) = delete;

    // Creates the terminal and starts serving on a thread of its own.
    bool Start(std::string* error = nullptr);
    // Stops serving and closes the terminal (the editor's side then fails like an unplugged
    // adapter). Safe to call twice.
    void Stop();
    // The path the editor opens, e.g. /dev/pts/3.
    const std::string& Path() const { return m_path; }

    // Time one byte takes at 115200 baud, 8N1.
    static constexpr double kByteMicros = 10.0 * 1e6 / 115200.0;

  private:
    void Serve();

    CVirtualProcessor& m_processor;
    std::string m_path;
    int m_master = -1;
    int m_slave = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace qx
