#pragma once
// Turns what the image model announced into audit records: one per field that changed, with
// its old and new code and how a person reads them, whether the field was written alone or
// as part of a record or a whole block (a file import names the file once, then its fields).
// What came from the processor is not logged: the log holds what was sent to it. Passwords
// show only that they changed.

#include <string>
#include <vector>

#include "AuditRecord.h"
#include "ImageChange.h"
#include "ParamCatalogue.h"

namespace qx {

// Where the changes went.
struct AuditPlace {
    std::string port;
    std::string room;
    int program = -1;
};

class CNoticeAudit {
  public:
    static std::vector<AuditRecord> Records(const ImageNotice& notice, const AuditPlace& place);
    // The records of one change (empty for the processor's own).
    static void AppendRecords(const ImageChange& change, const AuditPlace& place,
                              std::vector<AuditRecord>& out);
    // The cause of a change of the given source.
    static AuditCause CauseOf(const ChangeOrigin& origin);
    // True for the fields that hold a password.
    static bool IsSecret(const ParamField& field);
};

}  // namespace qx
