#pragma once
// One line of the audit log: something the editor or qxctl sent to a processor (a field's
// change with its old and new code and label, a recall, a store, a password change, a file
// import, a rollout), with who sent it from where, to which port, room and program, and why.
//
// A record is written as one JSON object on one line. Passwords are never part of a record:
// a password change is told by its action ("password") and which password it was.

#include <QJsonObject>
#include <cstdint>
#include <optional>
#include <string>

namespace qx {

// Why a change went out.
enum class AuditCause : uint8_t {
    Control,       // a person moved a control, or typed a field on the command line
    Undo,          // an undo or redo
    File,          // a program or bank file, a recall from the stored programs
    Fleet,         // a fleet operation over many rooms
    FilterImport,  // a room-measurement filter text put onto an equaliser
    Rule,          // the editor keeping a rule (a volume held below its maximum)
};

const char* AuditCauseName(AuditCause cause);
std::optional<AuditCause> AuditCauseFromName(const std::string& name);

struct AuditRecord {
    // What was done: "field", "recall", "store", "password", "import", "push", "bank-push",
    // "rollout", or another word a caller chooses for a fleet step.
    std::string action;
    AuditCause cause = AuditCause::Control;

    // Filled by the log when empty: the moment, who and where.
    int64_t timeMs = 0;   // milliseconds since 1970-01-01 UTC
    std::string user;     // the login name
    std::string host;     // the machine's name
    std::string tool;     // "qx-editor", "qxctl"
    std::string session;  // one run of the tool: host, process and start time

    std::string port;  // the address of the port: a device path or a network address
    std::string room;  // the room's name when a fleet file named it
    int program = -1;  // the processor's program (1..21), -1 when unknown

    // A field's change.
    std::string field;      // catalogue name
    std::string caption;    // the field as a person reads it
    bool hasCodes = false;  // oldCode/newCode hold codes (not for text fields)
    uint32_t oldCode = 0;
    uint32_t newCode = 0;
    std::string oldLabel;
    std::string newLabel;

    // Free text: a file name, the stored program's name, which password, a rollout's result.
    std::string detail;
    bool ok = true;  // false when the step failed (a fleet room that did not take it)

    QJsonObject ToJson() const;
    // One line, without its line end.
    std::string ToJsonLine() const;
    // False when the line is no JSON object or lacks the action or the time.
    static bool FromJsonLine(const std::string& line, AuditRecord& out);

    // "2026-12-09 20:35:59" in UTC.
    std::string TimeText() const;
    // One readable line: time, room or port, program, cause, and what changed.
    std::string ReadableText() const;
};

}  // namespace qx
