#pragma once
// The audit log: records appended as JSON lines to a file by a thread of its own, so that
// nobody who appends ever waits for the disk. Append only queues the record; the writer takes
// what is queued, rotates the file when it would grow beyond its size (audit.jsonl becomes
// audit.jsonl.1, .1 becomes .2, ...), and appends. A log that cannot be written (no
// directory, a full disk, no permission) loses its lines and counts them; editing and the
// link go on. When the writer falls behind by more than a bound, the newest lines are dropped
// and counted rather than held.
//
// Where: $QX_AUDIT_LOG when set, otherwise audit.jsonl in the editor's per-user data folder
// (on Linux ~/.local/share/qx-editor/audit.jsonl), the same file for the editor and qxctl.
//
// For fleet work, one call per room and step:
//     AuditFleet("rollout", room, port, program, "A01.dia kept Mic*.level", ok);
// and field by field, AuditFleetChanges in FleetAudit.h.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "AuditRecord.h"

namespace qx {

class CAuditLog {
  public:
    struct Limits {
        std::size_t maxBytes = 4 * 1024 * 1024;  // a file is rotated before it grows past this
        int keptFiles = 5;                       // rotated files kept besides the current one
        std::size_t maxQueued = 20000;           // lines waiting for the writer
    };

    explicit CAuditLog(std::string path, Limits limits);
    explicit CAuditLog(std::string path) : CAuditLog(std::move(path), Limits{}) {}
    // Writes what is queued, waiting at most a moment for a stalled disk.
    ~CAuditLog();
    CAuditLog(const CAuditLog&) = delete;
    CAuditLog& operator=(const CAuditLog&) = delete;

    // The log of this process at DefaultPath(), made on first use.
    static CAuditLog& Shared();
    // $QX_AUDIT_LOG, or audit.jsonl in the editor's per-user data folder.
    static std::string DefaultPath();
    // Who, where and which run: filled into every record that leaves them empty.
    static void SetTool(const std::string& tool);
    static const std::string& SessionId();

    const std::string& Path() const { return m_state->path; }

    // Queues a record: the time, user, host, tool and session are filled in when empty.
    // Never waits for the disk.
    void Append(AuditRecord record);
    // Waits until everything appended so far has been written or given up, at most timeoutMs.
    bool Flush(int timeoutMs = 2000);

    // Lines that could not be written or were dropped, since the start.
    uint64_t LostLines() const;
    uint64_t WrittenLines() const;
    // The reason of the last failure to write ("" when none).
    std::string LastError() const;

  private:
    struct State {
        std::string path;
        Limits limits;
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable drained;
        std::deque<AuditRecord> queue;  // made into lines by the writer
        uint64_t appended = 0;          // lines queued since the start
        uint64_t done = 0;              // lines written or lost since the start
        uint64_t lost = 0;
        uint64_t written = 0;
        std::string lastError;
        bool stop = false;
    };
    static void Run(std::shared_ptr<State> state);
    static void WriteBatch(State& state, std::deque<AuditRecord>& records);

    // Shared with the writer, which may outlive the log when the disk stalls at the end.
    std::shared_ptr<State> m_state;
    std::thread m_writer;
};

// Appends to the shared log: one step of a fleet operation in one room.
void AuditFleet(const std::string& action, const std::string& room, const std::string& port,
                int program, const std::string& detail, bool ok = true,
                CAuditLog& log = CAuditLog::Shared());

}  // namespace qx
