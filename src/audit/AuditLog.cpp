#include "AuditLog.h"

#include <QDateTime>
#include <QStandardPaths>
#include <QSysInfo>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <pwd.h>
#include <unistd.h>

namespace qx {

namespace {

std::mutex identityMutex;
std::string toolName = "qx-editor";

std::string LoginName() {
    static const std::string name = [] {
        for (const char* key : {"USER", "LOGNAME"}) {
            const char* value = std::getenv(key);
            if (value != nullptr && *value != '\0') {
                return std::string(value);
            }
        }
        const passwd* entry = getpwuid(getuid());
        return entry != nullptr ? std::string(entry->pw_name) : std::to_string(getuid());
    }();
    return name;
}

std::string HostName() {
    static const std::string host = QSysInfo::machineHostName().toStdString();
    return host;
}

// The n-th rotated file: path.1, path.2, ...
std::string Rotated(const std::string& path, int n) {
    return path + "." + std::to_string(n);
}

}  // namespace

CAuditLog::CAuditLog(std::string path, Limits limits) : m_state(std::make_shared<State>()) {
    m_state->path = std::move(path);
    m_state->limits = limits;
    m_writer = std::thread(&CAuditLog::Run, m_state);
}

CAuditLog::~CAuditLog() {
    const bool drained = Flush(2000);
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stop = true;
    }
    m_state->wake.notify_all();
    if (drained) {
        m_writer.join();
    } else {
        // A disk that does not answer must not hold the program at its end; the writer keeps
        // its own share of the state and ends when the write returns.
        m_writer.detach();
    }
}

CAuditLog& CAuditLog::Shared() {
    static CAuditLog log(DefaultPath());
    return log;
}

std::string CAuditLog::DefaultPath() {
    const char* overridden = std::getenv("QX_AUDIT_LOG");
    if (overridden != nullptr && *overridden != '\0') {
        return overridden;
    }
    // The editor's own data folder (its AppDataLocation), whichever program writes.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (base + QStringLiteral("/qx-editor/audit.jsonl")).toStdString();
}

void CAuditLog::SetTool(const std::string& tool) {
    std::lock_guard lock(identityMutex);
    toolName = tool;
}

const std::string& CAuditLog::SessionId() {
    static const std::string id = HostName() + "-" + std::to_string(getpid()) + "-" +
                                  std::to_string(QDateTime::currentMSecsSinceEpoch());
    return id;
}

void CAuditLog::Append(AuditRecord record) {
    if (record.timeMs == 0) {
        record.timeMs = QDateTime::currentMSecsSinceEpoch();
    }
    if (record.user.empty()) {
        record.user = LoginName();
    }
    if (record.host.empty()) {
        record.host = HostName();
    }
    if (record.tool.empty()) {
        std::lock_guard lock(identityMutex);
        record.tool = toolName;
    }
    if (record.session.empty()) {
        record.session = SessionId();
    }
    {
        std::lock_guard lock(m_state->mutex);
        ++m_state->appended;
        if (m_state->queue.size() >= m_state->limits.maxQueued) {
            ++m_state->lost;
            ++m_state->done;
            return;
        }
        m_state->queue.push_back(std::move(record));
    }
    m_state->wake.notify_one();
}

bool CAuditLog::Flush(int timeoutMs) {
    std::unique_lock lock(m_state->mutex);
    const uint64_t target = m_state->appended;
    return m_state->drained.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return m_state->done >= target; });
}

uint64_t CAuditLog::LostLines() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->lost;
}

uint64_t CAuditLog::WrittenLines() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->written;
}

std::string CAuditLog::LastError() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->lastError;
}

void CAuditLog::Run(std::shared_ptr<State> state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return state->stop || !state->queue.empty(); });
        if (state->queue.empty()) {
            return;  // stopped with nothing left
        }
        std::deque<AuditRecord> batch;
        batch.swap(state->queue);
        lock.unlock();
        WriteBatch(*state, batch);
        lock.lock();
        state->drained.notify_all();
    }
}

void CAuditLog::WriteBatch(State& state, std::deque<AuditRecord>& records) {
    namespace fs = std::filesystem;
    // Only the writer touches the files; the counters are shared.
    const std::string& path = state.path;
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    uint64_t written = 0;
    std::string error;
    std::FILE* file = nullptr;
    std::size_t size = 0;
    auto open = [&]() -> bool {
        file = std::fopen(path.c_str(), "ab");
        if (file == nullptr) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        // One write per line: a line counts as written only once it reached the file, and
        // lines of the editor and qxctl appending to the same file never interleave.
        std::setvbuf(file, nullptr, _IONBF, 0);
        std::error_code sizeError;
        const auto now = fs::file_size(path, sizeError);
        size = sizeError ? 0 : static_cast<std::size_t>(now);
        return true;
    };
    auto rotate = [&] {
        std::fclose(file);
        file = nullptr;
        const int kept = std::max(1, state.limits.keptFiles);
        std::error_code ignored;
        fs::remove(Rotated(path, kept), ignored);
        for (int n = kept - 1; n >= 1; --n) {
            fs::rename(Rotated(path, n), Rotated(path, n + 1), ignored);
        }
        fs::rename(path, Rotated(path, 1), ignored);
        return open();
    };
    if (open()) {
        for (const AuditRecord& record : records) {
            const std::string line = record.ToJsonLine() + '\n';
            if (size > 0 && size + line.size() > state.limits.maxBytes && !rotate()) {
                break;
            }
            if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) {
                error = path + ": " + std::strerror(errno);
                break;
            }
            size += line.size();
            ++written;
        }
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    std::lock_guard lock(state.mutex);
    state.written += written;
    state.lost += records.size() - written;
    state.done += records.size();
    if (!error.empty()) {
        state.lastError = error;
    }
}

void AuditFleet(const std::string& action, const std::string& room, const std::string& port,
                int program, const std::string& detail, bool ok, CAuditLog& log) {
    AuditRecord r;
    r.action = action;
    r.cause = AuditCause::Fleet;
    r.room = room;
    r.port = port;
    r.program = program;
    r.detail = detail;
    r.ok = ok;
    log.Append(std::move(r));
}

}  // namespace qx
