#pragma once
// qxctl's lines of the audit log: what a command sent to the processor. A command keeps the
// image as it was before it changed anything (Before), and once the processor acknowledged or
// failed, logs each field that changed (After) or the command itself (Command).
// A fleet command running qxctl for one room sets QX_AUDIT_ROOM (the room's name) and
// QX_AUDIT_CAUSE ("fleet") in that run's environment; the lines then carry them.

#include <memory>
#include <string>

#include "AuditRecord.h"
#include "ImageChange.h"
#include "ProgramImage.h"

namespace qx {

class CCliAudit {
  public:
    // port: the address the command reached the processor at.
    explicit CCliAudit(std::string port);
    ~CCliAudit();

    // Keeps the editor's image (the ParameterSet) as it is now.
    void Before();
    // Logs the fields that differ between the image kept by Before and the ParameterSet now,
    // with the origin's cause (a file origin names the file first); cause, when given,
    // replaces it (a filter import). ok false: the processor did not acknowledge them.
    void After(const ChangeOrigin& origin, bool ok, const AuditCause* cause = nullptr);
    // One line for a command: recall, store, bank-push.
    void Command(const std::string& action, int program, const std::string& detail, bool ok);

  private:
    std::string m_port;
    std::unique_ptr<ParamImage> m_before;
};

}  // namespace qx
