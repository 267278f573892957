#include "CliAudit.h"

#include <cstdlib>
#include <cstring>

#include "AuditLog.h"
#include "NoticeAudit.h"
#include "ParameterSet.h"

namespace qx {

namespace {

// A fleet command that runs qxctl for a room names the room and the cause in the
// environment of that run.
std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

AuditCause CauseOr(AuditCause cause) {
    return AuditCauseFromName(FromEnvironment("QX_AUDIT_CAUSE")).value_or(cause);
}

AuditPlace PlaceNow(const std::string& port) {
    AuditPlace place;
    place.port = port;
    place.room = FromEnvironment("QX_AUDIT_ROOM");
    place.program = ParameterSet.system.block.currentProgram;
    return place;
}

}  // namespace

CCliAudit::CCliAudit(std::string port) : m_port(std::move(port)) {
    CAuditLog::SetTool("qxctl");
}

CCliAudit::~CCliAudit() = default;

void CCliAudit::Before() {
    m_before = std::make_unique<ParamImage>();
    ParamGuard guard(ParamLock);
    AtomicCopy(m_before.get(), &ParameterSet, sizeof(ParamImage));
}

void CCliAudit::After(const ChangeOrigin& origin, bool ok, const AuditCause* cause) {
    if (!m_before) {
        return;
    }
    ImageChange change;
    change.range = {0, sizeof(ParamImage)};
    change.before.resize(sizeof(ParamImage));
    change.after.resize(sizeof(ParamImage));
    std::memcpy(change.before.data(), m_before.get(), sizeof(ParamImage));
    {
        ParamGuard guard(ParamLock);
        AtomicCopy(change.after.data(), &ParameterSet, sizeof(ParamImage));
    }
    change.origin = origin;
    ImageNotice notice;
    notice.Add(std::move(change));
    CAuditLog& log = CAuditLog::Shared();
    for (AuditRecord& r : CNoticeAudit::Records(notice, PlaceNow(m_port))) {
        r.cause = CauseOr(cause != nullptr ? *cause : r.cause);
        r.ok = ok;
        log.Append(std::move(r));
    }
    log.Flush();
}

void CCliAudit::Command(const std::string& action, int program, const std::string& detail,
                        bool ok) {
    AuditRecord r;
    r.action = action;
    r.cause = CauseOr(AuditCause::Control);
    r.port = m_port;
    r.room = FromEnvironment("QX_AUDIT_ROOM");
    r.program = program;
    r.detail = detail;
    r.ok = ok;
    CAuditLog& log = CAuditLog::Shared();
    log.Append(std::move(r));
    log.Flush();
}

}  // namespace qx
