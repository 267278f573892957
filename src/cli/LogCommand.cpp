#include "LogCommand.h"

#include <QDateTime>
#include <filesystem>
#include <ostream>

#include "AuditLog.h"
#include "AuditReader.h"
#include "Qxctl.h"
#include "TextPair.h"

namespace qx {

int CLogCommand::Run(CQxctl& cli, const CCommandArgs& a) {
    if (!a.Positional().empty()) {
        return cli.Fail("log", Tr({"不接受参数", "takes no arguments"}), 2);
    }
    AuditFilter filter;
    filter.room = a.Value("--room");
    filter.field = a.Value("--field");
    if (a.Has("--since") &&
        !CAuditReader::ParseSince(a.Value("--since"), QDateTime::currentMSecsSinceEpoch(),
                                  filter.sinceMs)) {
        return cli.Fail("log",
                        Tr({"--since：无法识别的时间 %1", "--since: %1 is no time I can read"},
                           {a.Value("--since")}),
                        2);
    }
    const std::string path = CAuditLog::DefaultPath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        cli.Err() << Tr({"qxctl: log: 还没有记录（%1）", "qxctl: log: nothing logged yet (%1)"},
                        {path})
                  << "\n";
        return 0;
    }
    int skipped = 0;
    const std::vector<AuditRecord> records = CAuditReader::Read(path, filter, &skipped);
    for (const AuditRecord& r : records) {
        cli.Out() << (a.Has("--json") ? r.ToJsonLine() : r.ReadableText()) << "\n";
    }
    if (skipped > 0) {
        cli.Err() << Tr({"qxctl: log: 跳过 %1 行无法读取的记录",
                         "qxctl: log: %1 unreadable lines skipped"},
                        {std::to_string(skipped)})
                  << "\n";
    }
    return 0;
}

}  // namespace qx
