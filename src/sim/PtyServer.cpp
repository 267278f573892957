#include "PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace qx {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::microseconds LineTime(std::size_t bytes) {
    return std::chrono::microseconds(static_cast<long>(bytes * CPtyServer::kByteMicros));
}

}  // namespace

CPtyServer::CPtyServer(CVirtualProcessor& processor) : m_processor(processor) {}

CPtyServer::~CPtyServer() {
    Stop();
}

bool CPtyServer::Start(std::string* error) {
    struct termios raw;
    std::memset(&raw, 0, sizeof raw);
    cfmakeraw(&raw);
    cfsetispeed(&raw, B115200);
    cfsetospeed(&raw, B115200);
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        if (error != nullptr) {
            *error = std::string("openpty: ") + std::strerror(errno);
        }
        return false;
    }
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        if (error != nullptr) {
            *error = std::string("pipe: ") + std::strerror(errno);
        }
        close(m_master);
        close(m_slave);
        m_master = m_slave = -1;
        return false;
    }
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    m_path = name;
    m_stop = false;
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void CPtyServer::Stop() {
    if (m_thread.joinable()) {
        m_stop = true;
        const char wake = 1;
        [[maybe_unused]] const ssize_t n = write(m_wakeWrite, &wake, 1);
        m_thread.join();
    }
    for (int* fd : {&m_master, &m_slave, &m_wakeRead, &m_wakeWrite}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void CPtyServer::Serve() {
    std::vector<uint8_t> buffer(8192);
    Clock::time_point requestStart{};
    std::size_t requestBytes = 0;
    while (!m_stop) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (m_stop || (fds[1].revents & POLLIN) != 0) {
            return;
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
            continue;
        }
        const ssize_t n = read(m_master, buffer.data(), buffer.size());
        if (n <= 0) {
            // No editor holds the terminal open (EIO): wait a moment and look again.
            pollfd wake = {m_wakeRead, POLLIN, 0};
            poll(&wake, 1, 10);
            continue;
        }
        if (requestBytes == 0) {
            requestStart = Clock::now();
        }
        requestBytes += static_cast<std::size_t>(n);
        const auto replies = m_processor.Feed(buffer.data(), static_cast<int>(n));
        for (const auto& reply : replies) {
            const SimOptions opt = m_processor.Options();
            auto due = requestStart + std::chrono::milliseconds(opt.processingMs);
            if (opt.paceLine) {
                due += LineTime(requestBytes);
            }
            requestBytes = 0;
            pollfd wake = {m_wakeRead, POLLIN, 0};
            const auto wait = [&](Clock::time_point until) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
                if (left.count() > 0 && !m_stop) {
                    poll(&wake, 1, static_cast<int>(left.count()));
                }
                while (!m_stop && Clock::now() < until) {
                    // the sub-millisecond rest
                }
            };
            const std::size_t chunk =
                opt.chunkSize > 0 ? static_cast<std::size_t>(opt.chunkSize) : reply.size();
            for (std::size_t pos = 0; pos < reply.size() && !m_stop; pos += chunk) {
                const std::size_t len = std::min(chunk, reply.size() - pos);
                if (opt.paceLine) {
                    due += LineTime(len);
                }
                wait(due);
                const uint8_t* p = reply.data() + pos;
                std::size_t left = len;
                while (left > 0 && !m_stop) {
                    const ssize_t w = write(m_master, p, left);
                    if (w <= 0) {
                        if (errno == EINTR || errno == EAGAIN) {
                            continue;
                        }
                        break;
                    }
                    p += w;
                    left -= static_cast<std::size_t>(w);
                }
                if (opt.chunkSize > 0) {
                    // The pieces keep the processor's own timing: a late start on a busy host is
                    // caught up, not added to every following piece.
                    due += std::chrono::milliseconds(opt.chunkGapMs);
                }
            }
        }
    }
}

}  // namespace qx
