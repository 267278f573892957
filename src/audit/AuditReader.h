#pragma once
// Reads the audit log back, oldest first, across its rotated files, and keeps the records a
// filter asks for: a room (or port), a moment from which on, a field pattern with wildcards
// (`Mic*.level`, `Scene[*].*.mute`, case ignored), a session.

#include <cstdint>
#include <string>
#include <vector>

#include "AuditRecord.h"

namespace qx {

struct AuditFilter {
    std::string room;     // the room's name, or the port's address; empty: every one
    int64_t sinceMs = 0;  // records at or after this moment; 0: from the start
    std::string field;    // a field pattern; empty: every record. A pattern keeps field
                          // records whose catalogue name or caption matches it
    std::string session;  // one run of a tool; empty: every run

    bool Keeps(const AuditRecord& r) const;
};

class CAuditReader {
  public:
    // The records of the log at path and of its rotated files, oldest first. Lines that are
    // no record (a line cut short by a full disk) are counted in skipped, not returned.
    static std::vector<AuditRecord> Read(const std::string& path, const AuditFilter& filter,
                                         int* skipped = nullptr);

    // A pattern with * (any run of characters) and ? (one character), case ignored; the
    // brackets of catalogue names are plain characters.
    static bool Matches(const std::string& pattern, const std::string& text);
    // "2026-12-09", "2026-12-09 20:30", "2026-12-09T20:30:00Z" (UTC unless the text names a
    // zone), or a span back from now: "30m", "2h", "7d". False when none of these.
    static bool ParseSince(const std::string& text, int64_t nowMs, int64_t& sinceMs);
};

}  // namespace qx
