#include "FleetAudit.h"

#include <cstring>

#include "NoticeAudit.h"

namespace qx {

void AuditFleetChanges(const std::string& room, const std::string& port, int program,
                       const ParamImage& before, const ParamImage& after, const std::string& file,
                       bool ok, CAuditLog& log) {
    ImageChange change;
    change.range = {0, sizeof(ParamImage)};
    const auto* b = reinterpret_cast<const uint8_t*>(&before);
    const auto* a = reinterpret_cast<const uint8_t*>(&after);
    change.before.assign(b, b + sizeof(ParamImage));
    change.after.assign(a, a + sizeof(ParamImage));
    change.origin = ChangeOrigin::FromFile(file);
    ImageNotice notice;
    notice.Add(std::move(change));
    for (AuditRecord& r : CNoticeAudit::Records(notice, {port, room, program})) {
        if (r.action == "import") {
            r.action = "rollout";
        }
        r.cause = AuditCause::Fleet;
        r.ok = ok;
        log.Append(std::move(r));
    }
}

}  // namespace qx
