#include "Ser2netBridge.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qx {

namespace {

// A port nothing listens on now (the kernel's choice for port 0).
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::string CSer2netBridge::Line::Address() const {
    return std::string(rfc2217 ? "rfc2217" : "socket") + "://127.0.0.1:" + std::to_string(port);
}

CSer2netBridge::~CSer2netBridge() {
    Stop();
}

std::string CSer2netBridge::Program() {
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return {};
}

bool CSer2netBridge::Start(std::vector<Line> lines, const std::string& folder, std::string& error) {
    Stop();
    const std::string program = Program();
    if (program.empty()) {
        error = "ser2net is not installed";
        return false;
    }
    const std::string config = folder + "/ser2net.yaml";
    {
        std::ofstream out(config);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            lines[i].port = FreePort();
            // "local": a pseudo-terminal has no modem lines to wait for.
            out << "connection: &line" << i << "\n"
                << "  accepter: " << (lines[i].rfc2217 ? "telnet(rfc2217),tcp" : "tcp")
                << ",127.0.0.1," << lines[i].port << "\n"
                << "  connector: serialdev," << lines[i].device << ",115200n81,local\n"
                << "  options:\n    kickolduser: true\n";
        }
        if (!out) {
            error = config + ": cannot be written";
            return false;
        }
    }
    m_lines = std::move(lines);
    const std::string log = folder + "/ser2net.log";
    const std::string pidFile = folder + "/ser2net.pid";
    // Nothing is allocated between fork and exec: other threads may hold the allocator's lock.
    m_pid = ::fork();
    if (m_pid == 0) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::setpgid(0, 0);  // Ctrl+C in a terminal does not reach it before its owner
        ::execl(program.c_str(), program.c_str(), "-n", "-c", config.c_str(), "-P", pidFile.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (m_pid < 0) {
        error = "fork failed";
        return false;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (const Line& l : m_lines) {
        while (!Accepts(l.port)) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                error = "ser2net ended at start (see " + log + ")";
                return false;
            }
            if (std::chrono::steady_clock::now() > end) {
                error = "ser2net does not listen on port " + std::to_string(l.port);
                Stop();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    return true;
}

void CSer2netBridge::Kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

void CSer2netBridge::Stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Kill();
    }
}

}  // namespace qx
